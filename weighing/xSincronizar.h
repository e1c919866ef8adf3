#pragma once
// Meal export to the central database ("Sincronizar Dados"). Every local meal not yet exported is
// written to the central REFEICAO with the company's CNPJ and its local key, then marked locally
// with the moment of its export. The central write replaces the row of the same CNPJ and
// IDEXTERNO, so a meal sent twice (a crash between the central commit and the local mark, a mark
// that failed) is still one central row.

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

// The export run itself, without a screen: batches of the newest pending meals, each sent in one
// go and committed centrally, then marked locally and committed, until none is pending.
class ExportacaoRefeicoes
{
public:
    // The local meals are read and marked through local/transLocal, the central rows written
    // through central/transCentral; both transactions are committed retaining.
    ExportacaoRefeicoes(fb::Attachment& local, fb::Transaction& transLocal, fb::Attachment& central,
                        fb::Transaction& transCentral);
    ~ExportacaoRefeicoes();
    ExportacaoRefeicoes(const ExportacaoRefeicoes&) = delete;
    ExportacaoRefeicoes& operator=(const ExportacaoRefeicoes&) = delete;

    static constexpr int LotePadrao = 1000;
    // Meals read, sent and committed together.
    void setTamanhoLote(int refeicoes) { tamanhoLote_ = qMax(1, refeicoes); }
    int tamanhoLote() const { return tamanhoLote_; }

    // Called after a batch is committed centrally and before it is marked locally (the crash test
    // stops the process there).
    std::function<void()> aposEnvioCentral;

    struct Resultado
    {
        qint64 exportadas = 0;     // meals committed centrally and marked locally
        bool interrompida = false; // stopped by the operator
        QString erro;              // reason of the failure that ended the run; empty when none
    };

    // Prepares the statements on both databases; throws fb::Error when either cannot take them
    // (a lost connection, for instance). executa prepares on its own when this was not called.
    void prepara();
    // Sends every pending meal stamped with cnpj. The first failure ends the run: the meals of it
    // before the failing one are exported, the failing one and the rest stay pending.
    Resultado executa(const QString& cnpj, ProgressoExportacao* progresso = nullptr);

private:
    using Linha = QVector<QVariant>; // the local columns, in the order of colunasLocais

    qint64 contaPendentes();
    QVector<Linha> buscaLote(const std::optional<double>& abaixoDe);
    // Sends the batch, a block at a time; returns how many of its first meals went through, the
    // error in erro.
    int envia(const QVector<Linha>& lote, QString& erro);
    void enviaBloco(const QVector<Linha>& lote, int inicio);
    void enviaUma(const Linha& linha);
    // Marks the first quantas meals of the batch; returns how many were marked.
    qint64 marca(const QVector<Linha>& lote, int quantas, const QDateTime& momento, QString& erro);
    std::unique_ptr<fb::Statement> preparaBloco();
    static const QString& nomeNoBloco(int coluna, int linha);
    // The row's values into the single statement (posicao -1) or into row posicao of a block.
    static void preencheLinha(fb::Statement& st, const Linha& linha, int posicao);

    fb::Attachment& local_;
    fb::Transaction& transLocal_;
    fb::Attachment& central_;
    fb::Transaction& transCentral_;
    int tamanhoLote_ = LotePadrao;

    QString cnpj_;
    std::unique_ptr<fb::Statement> conta_, lote_, loteAbaixo_, marcaLote_, marcaUma_;
    // The central write: one meal, and a block of meals in one round trip.
    std::unique_ptr<fb::Statement> exportar_, bloco_;
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
    fb::Transaction TransExterno;
    // The pending list: the 1000 newest meals not yet exported.
    Dataset* Refeicao = nullptr;

    // Creates the progress display of each run; empty: the progress dialog. Tests put their own.
    std::function<std::unique_ptr<ProgressoExportacao>(QWidget* pai)> criaProgresso;
    void setTamanhoLote(int refeicoes) { tamanhoLote_ = qMax(1, refeicoes); }

    // "Sincronizar": exports every pending meal, reports the count and re-reads the list.
    void SpeedButton1Click();

private:
    // Prepares the run's statements; a central connection lost since the screen opened is
    // opened again once.
    void preparaExportacao(ExportacaoRefeicoes& exportacao);
    void reconecta();

    fb::ConnectionSettings central_;
    int tamanhoLote_ = ExportacaoRefeicoes::LotePadrao;
    bool exportando_ = false;

    DBGrid* DBGrid1 = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
};
