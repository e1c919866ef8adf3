#pragma once
// Meal export to the central database ("Sincronizar Dados"). Every local meal not yet exported is
// written to the central REFEICAO with the company's CNPJ and its local key, then marked locally
// with the moment of its export. A central row is one meal: its CNPJ, its local key and the moment
// it was first registered (DATAUSER1). The central write replaces the row of the same three, so a
// meal sent twice (a crash between the central commit and the local mark) is still one central
// row, while another meal with the same CNPJ and local key (a local database created again, two
// installations with the placeholder company) is stored beside it.

#include "data/dataset.h"
#include "data/firebird.h"

#include <QPointer>
#include <QProgressDialog>
#include <QVector>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class DBGrid;
class QFrame;
class QPushButton;

// What a run shows while it goes. Called between batches only, so stopping always leaves whole
// batches committed on both sides.
class ProgressoExportacao
{
public:
    virtual ~ProgressoExportacao();
    virtual void inicio(qint64 pendentes) = 0;
    // After a batch is committed centrally and marked locally. False: stop the run here.
    virtual bool lote(qint64 enviadas, qint64 pendentes) = 0;
    virtual void fim() = 0;
};

// The progress dialog of the screen: meals sent and still pending, a "Parar" button that stops
// the run after the current batch; the window keeps painting while the run blocks it.
class ProgressoDialogo : public ProgressoExportacao
{
public:
    explicit ProgressoDialogo(QWidget* pai);
    ~ProgressoDialogo() override;
    void inicio(qint64 pendentes) override;
    bool lote(qint64 enviadas, qint64 pendentes) override;
    void fim() override;
    QProgressDialog* dialogo() const { return dialogo_; }

private:
    void mostra(qint64 enviadas, qint64 pendentes);
    QPointer<QProgressDialog> dialogo_;
};

// The export run itself, without a screen. One run at a time per restaurant: the company row is
// held while it goes, and a second workstation is told another one is exporting. Each batch of the
// newest pending meals is first held and marked locally (not yet committed), so a counter cannot
// change a meal on its way and what is marked is what was sent; then it is sent and committed
// centrally, and only then is the local mark committed. A crash between the two commits leaves the
// meals pending; sent again they replace their own central rows.
class ExportacaoRefeicoes
{
public:
    // Meals are read and marked through local, the central rows written through central; the run
    // has transactions of its own on both, ended (committed or undone) within it.
    ExportacaoRefeicoes(fb::Attachment& local, fb::Attachment& central);
    ~ExportacaoRefeicoes();
    ExportacaoRefeicoes(const ExportacaoRefeicoes&) = delete;
    ExportacaoRefeicoes& operator=(const ExportacaoRefeicoes&) = delete;

    static constexpr int LotePadrao = 1000;
    // Meals read, sent and committed together.
    void setTamanhoLote(int refeicoes) { tamanhoLote_ = qMax(1, refeicoes); }
    int tamanhoLote() const { return tamanhoLote_; }
    // How long a run waits for another workstation's run to end before saying it is exporting.
    void setEsperaOutraEstacao(int segundos) { esperaTrava_ = qMax(1, segundos); }

    // Called after a batch is committed centrally and before its local mark is committed (the
    // crash test stops the process there).
    std::function<void()> aposEnvioCentral;
    // Attaches the central connection again (throws fb::Error when it cannot). Called before a run
    // whose connection was lost, and once within a run that loses it; empty: such a run fails.
    std::function<void()> reconectaCentral;

    struct Resultado
    {
        qint64 exportadas = 0;     // meals committed centrally and marked locally
        bool interrompida = false; // stopped by the operator
        QString erro;              // reason of the failure that ended the run; empty when none
    };

    // Sends every pending meal stamped with cnpj. The first failure ends the run: the meals of it
    // before the failing one are exported, the failing one and the rest stay pending. A meal being
    // changed at another counter is passed over and left for the next run.
    Resultado executa(const QString& cnpj, ProgressoExportacao* progresso = nullptr);

    static QString outraEstacaoExportando();

private:
    using Linha = QVector<QVariant>; // the local columns, in the order of colunasLocais

    struct Lote
    {
        QVector<Linha> linhas;       // held and marked, to be sent
        QVector<double> presas;      // held by another transaction: left pending
        std::optional<double> menor; // the lowest key looked at; the next batch starts below it
    };

    void preparaLocal();
    void preparaCentral();
    void garanteCentral();
    qint64 contaPendentes();
    // Holds and marks the next batch; it must be the first change of the batch's local transaction.
    Lote marcaLote(const std::optional<double>& abaixoDe, const QDateTime& momento);
    void desmarca(const QVector<Linha>& linhas, int desde);
    // Sends the batch and commits it centrally; the meals sent in an earlier attempt on a lost
    // connection are sent again on a new one, once per run. Returns how many of its first meals
    // went through, the error in erro.
    int enviaLote(const QVector<Linha>& lote, QString& erro);
    // Sends the batch, a block at a time; returns how many of its first meals went through, the
    // error in erro.
    int envia(const QVector<Linha>& lote, QString& erro);
    void enviaBloco(const QVector<Linha>& lote, int inicio);
    void enviaUma(const Linha& linha);
    std::unique_ptr<fb::Statement> preparaBloco();
    static const QString& nomeNoBloco(int coluna, int linha);
    // The row's values into the parameters at posicoes (row linhaNoBloco of a block; 0 for one meal).
    static void preencheLinha(fb::Statement& st, const QVector<int>& posicoes, const Linha& linha, int linhaNoBloco);

    fb::Attachment& local_;
    fb::Attachment& central_;
    int tamanhoLote_ = LotePadrao;
    int esperaTrava_ = 5;
    bool reconectou_ = false;

    // The run's transactions: the company row held for the whole run, one batch's marks, one
    // batch's central rows.
    fb::Transaction trava_, transLocal_, transCentral_;
    QString cnpj_;
    std::unique_ptr<fb::Statement> conta_, desmarca_;
    // The marking block: [from the top, below a key][quick, careful].
    std::unique_ptr<fb::Statement> marca_[2][2];
    // The central write: one meal, and a block of meals in one round trip.
    std::unique_ptr<fb::Statement> exportar_, bloco_;
    QVector<int> posicoesUma_, posicoesBloco_; // their parameters, column by column (row by row)
};

class TSincronizar : public QWidget
{
    Q_OBJECT
public:
    // The central database named by the parameter store (bancoCentral). A central database that
    // cannot be reached throws fb::Error with the server's message: the screen is not created.
    explicit TSincronizar(QWidget* parent = nullptr);
    TSincronizar(const fb::ConnectionSettings& central, QWidget* parent = nullptr);
    ~TSincronizar() override;

    // ServidorCentral, BancoCentral and SenhaCentral of the parameter store; each one left empty
    // takes the central database of a single-machine installation.
    static fb::ConnectionSettings bancoCentral();

    fb::Attachment externo;
    // Active only during a run ("Sincronizar"), committed when it ends.
    fb::Transaction TransExterno;
    // The pending list: the 1000 newest meals not yet exported.
    Dataset* Refeicao = nullptr;

    // Creates the progress display of each run; empty: the progress dialog. Tests put their own.
    std::function<std::unique_ptr<ProgressoExportacao>(QWidget* pai)> criaProgresso;
    void setTamanhoLote(int refeicoes) { tamanhoLote_ = qMax(1, refeicoes); }

    // "Sincronizar": exports every pending meal, reports the count and re-reads the list.
    void SpeedButton1Click();

private:
    // A new central connection, for a run whose connection was lost.
    void reconecta();

    fb::ConnectionSettings central_;
    int tamanhoLote_ = ExportacaoRefeicoes::LotePadrao;
    bool exportando_ = false;

    DBGrid* DBGrid1 = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
};
