#pragma once
// The counter screen: a new meal for each plate, the consumer's CPF, the weight read from the
// scale, confirmation and the receipt. The same screen browses and corrects earlier meals, lists
// them all and keeps the log of the scale exchanges.

#include "data/dataset.h"

#include <QDate>
#include <QPointer>
#include <QString>
#include <QTime>
#include <QWidget>
#include <functional>
#include <optional>

class DBEdit;
class DBGrid;
class DBMemo;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWidget;
#include "weighing/xCupon.h" // QPointer needs the complete type
class TelaCadastro;

class TPessagem : public QWidget
{
    Q_OBJECT
public:
    // Needs the data module (Dados) with its connection open.
    explicit TPessagem(QWidget* parent = nullptr);
    ~TPessagem() override;

    // The screen's own meal dataset ("select * from REFEICAO" / WHERE line / "ORDER BY ID DESC").
    Dataset* Refeicao = nullptr;

    // The scale's port. Empty (the default): Balanca::portaPadrao() at each weighing.
    void setPortaBalanca(const QString& porta) { portaBalanca_ = porta; }
    QString portaBalanca() const;

    // Shows the receipt once its query is set; by default the preview window. Tests put a PDF
    // save in its place.
    std::function<void(TCupom&)> mostraCupom;
    // The receipt report; nullptr until the first print.
    TCupom* cupom() const;

    // ---- actions (the buttons run them through the error report) ----
    void IncluirClick();
    void AlterarClick();
    void ExcluirClick();
    void ConfirmarClick();
    void NaoConfirmarClick();
    void BotaoPesarClick();
    void BotaoCodigoClick();
    void Button1Click(int atitude); // 1 first, 2 previous, 3 next, 4 last
    void DBGrid1DblClick();
    void ImprimirClick();

    // One scale exchange; the weight goes into PESO of the meal being written.
    void EnviarCtrlELerRespostaCOM3();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void montaTela();
    void FormCreate();

    void RefeicaoAfterInsert(Dataset& DataSet);
    void RefeicaoBeforeEdit(Dataset& DataSet);
    void RefeicaoAfterEdit(Dataset& DataSet);
    void RefeicaoBeforeDelete(Dataset& DataSet);
    void RefeicaoAfterPost(Dataset& DataSet);
    void RefeicaoCPFValidate(Field& Sender);
    void DataSourceDataChange();
    void PageControl1Change(int index);

    // NOME of the consumer with this CPF; false when there is none. One action (a Confirmar
    // re-reads the meal three times) asks the database once per CPF.
    bool buscaConsumidor(const QString& cpf, QString& nome);
    // The "1" or "2" audit group of the meal being written.
    void preencheAuditoria(const QString& grupo);
    // Selects one meal by key through the WHERE line.
    void selecionaChave(const QVariant& chave);

    // The consumer's meals on a day stored before this one (every one of the day for a new meal)
    // and the time of the latest of them.
    struct DiaDoConsumidor
    {
        int anteriores = 0;
        QTime ultima;
    };
    DiaDoConsumidor diaDoConsumidor(const QString& cpf, const QDate& dia, const QVariant& id);
    // "2ª refeição hoje — anterior às 11:42" beside the name.
    void mostraDiaDoConsumidor(const QString& cpf);
    // Confirming a new meal past LimiteRefeicoesDia asks first; No throws Abort.
    void verificaLimiteDoDia();
    // A stored meal given another consumer's CPF: the operator says whether the consumer changes.
    void perguntaTrocaConsumidor(const QString& antigo);
    // The receipt of the meal shown, ready to be rendered.
    TCupom& preparaCupom();
    // Straight to the printer of ImpressoraCupom; a failure is said, the meal stays stored.
    void imprimeDireto();
    void mostraBalanca(const QString& texto);

    QString portaBalanca_;
    TelaCadastro* tela_ = nullptr;
    QPointer<TCupom> Cupom_;
    QString avisado_; // meal and CPF whose missing consumer was already reported
    struct Consumidor
    {
        QString cpf, nome;
        bool achou = false;
    };
    std::optional<Consumidor> ultimoConsumidor_; // forgotten when the action ends

    QTabWidget* PageControl1 = nullptr;
    QWidget* Tela1 = nullptr;
    QWidget* TabListagem = nullptr;
    QWidget* TabSheet1 = nullptr;
    DBEdit* w_ID = nullptr;
    QToolButton* BotaoCodigo = nullptr;
    DBEdit* w_CPF = nullptr;
    QLabel* w_Nome = nullptr;
    QLabel* w_DiaConsumidor = nullptr;
    QString diaMostrado_; // the CPF, meal and day w_DiaConsumidor was computed for in this action
    DBEdit* w_Data = nullptr;
    DBEdit* w_Hora = nullptr;
    DBEdit* w_Peso = nullptr;
    DBEdit* w_ExportadoEm = nullptr;
    DBMemo* w_Observacao = nullptr;
    QPushButton* BotaoPesar = nullptr;
    QLabel* StatusBalanca = nullptr; // the last scale event in words
    bool shiftNoImprimir_ = false;
    bool novaRefeicao_ = false; // the post under way inserts   // Shift held on the click that pressed Imprimir
    QLabel* Estado = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Incluir = nullptr;
    QPushButton* Alterar = nullptr;
    QPushButton* Excluir = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* NaoConfirmar = nullptr;
    QPushButton* Imprimir = nullptr;
    DBGrid* DBGrid1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
};
