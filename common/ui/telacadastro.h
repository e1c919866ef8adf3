#pragma once
// What every record screen shares: the state display (which buttons are enabled while browsing,
// inserting or editing, and the state label), the standard buttons, keys caught before the
// screen's boxes (Enter to the next field, the screen's own keys), the focus colours of the data
// fields, the button pictures and tab colours, and the street-map lookup.
// A screen creates one TelaCadastro for its main dataset, hands it its controls and states only
// its departures.

#include "data/dataset.h"

#include <QColor>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <limits>
#include <optional>

class QAbstractButton;
class QKeyEvent;
class QLabel;
class QTabWidget;
class QWidget;

class TelaCadastro : public QObject
{
    Q_OBJECT
public:
    TelaCadastro(QWidget* tela, Dataset* dataset);
    ~TelaCadastro() override;

    QWidget* tela() const { return tela_; }
    Dataset* dataset() const { return ds_; }

    // ---- state display ----
    // Search and navigation controls: enabled only while browsing.
    void defineNavegacao(const QList<QWidget*>& controles);
    // Incluir, Alterar, Excluir: only while browsing and when the right allows (nullptr: none).
    void defineAcoes(QWidget* incluir, QWidget* alterar, QWidget* excluir);
    // Confirmar, NaoConfirmar: only while editing or inserting.
    void defineConfirmacao(QWidget* confirmar, QWidget* naoConfirmar);
    // Other controls that only make sense while a record is written (the password field).
    void defineSoEditando(const QList<QWidget*>& controles);
    // Controls only for a new record (the copy-address button).
    void defineSoIncluindo(const QList<QWidget*>& controles);
    void defineRotuloEstado(QLabel* estado);
    // Rights; unset means allowed.
    std::function<bool()> podeIncluir, podeAlterar, podeExcluir;
    // Recomputes the enabling and the label; runs at every state change of the dataset.
    void atualizaEstado();
    // "Navegando...", "Incluindo...", "Editando...".
    static QString textoEstado(EstadoDataset estado);

    // ---- standard buttons ----
    // Connects the clicks of the buttons given above to incluir(), alterar(), ... (buttons only).
    void conectaBotoes();
    void incluir(); // does nothing unless Incluir is enabled; appends, then aoIncluir
    void alterar(); // does nothing unless Alterar is enabled; edits, then aoAlterar
    // Saves the record being written: finishes the box that has the cursor (terminaCaixa), runs
    // antesDeGravar, posts and runs depoisDeGravar with the state the record had. Nothing while
    // browsing. A refusal on the way (Abort) leaves the record being written.
    void confirmar();
    // Asks perguntaCancelar (none when empty) and cancels; a change is shown again as stored.
    // Nothing while browsing unless perguntaNavegando (the client record asks then too).
    void naoConfirmar();
    // While browsing, when antesDeExcluir lets it and there is a record: "Excluir Registro?", then
    // deletes and runs aoExcluir, or moves to the last record when there is none.
    void excluir();
    std::function<void()> aoIncluir, aoAlterar, aoExcluir;
    std::function<void(EstadoDataset antes)> aoCancelar;
    std::function<bool()> antesDeExcluir; // false: not deleted (the screen has said why)
    std::function<void()> antesDeGravar;
    std::function<void(EstadoDataset antes)> depoisDeGravar;
    QString perguntaCancelar = QStringLiteral("Deseja Cancelar Atualização?");
    bool perguntaNavegando = false;

    // ---- leaving the boxes ----
    // The rule run when the operator leaves one of these boxes, after the box has written its typed
    // text to the field; false refuses the leaving and the cursor goes back into the box.
    void defineSaidas(const QList<QWidget*>& caixas, std::function<bool(QWidget*)> regra);
    // Finishes the box that has the cursor exactly as leaving it would: its typed text is written
    // to the field and its leave rule runs; then any other typed text still pending is written.
    // Throws Abort when the box or its rule refused (the message was shown). Every save goes
    // through here first, since a button or a key takes the cursor out of no box.
    void terminaCaixa();

    // ---- "Ir Para" ----
    struct IrPara
    {
        // The largest key the screen's key column holds; a code past it is "Registro não Encontrado!"
        // when alemDaChaveNaoEncontrado, otherwise a failed conversion, as the typed text names no key.
        qint64 maiorChave = std::numeric_limits<qint32>::max();
        bool alemDaChaveNaoEncontrado = true;
        bool semAcento = false; // the answer is read without its accents first
    };
    // Asks "Ir Para" / "Codigo..." and gives the answer as typed; nothing when cancelled, or while
    // a record is being written (then nothing is asked).
    std::optional<QString> perguntaIrPara();
    // The same question, the answer read the answer as a code: blank, cancelled, zero or negative
    // give nothing; a text that is no whole number is a failed conversion (ErroConversao). Does
    // nothing while a record is being written.
    std::optional<qint64> perguntaCodigo(const IrPara& regra);
    std::optional<qint64> perguntaCodigo() { return perguntaCodigo(IrPara{}); }
    // The whole go-to: asks, selects the code with seleciona and, when that found nothing, says
    // "Registro não Encontrado!" and calls volta to show again what was shown before. True when a
    // code was looked up.
    bool irPara(const std::function<void(qint64)>& seleciona, const std::function<void()>& volta, const IrPara& regra);
    bool irPara(const std::function<void(qint64)>& seleciona, const std::function<void()>& volta)
    {
        return irPara(seleciona, volta, IrPara{});
    }
    static QString textoNaoEncontrado() { return QStringLiteral("Registro não Encontrado!"); }

    // ---- keys, seen before the screen's controls ----
    // Enter in a data field moves the focus to the next field, except in the given controls.
    void ativaEnterAvanca(const QList<QWidget*>& excecoes = {});
    // A key of the screen; soNavegando: the key does nothing unless the dataset is browsing.
    void defineTecla(const QKeySequence& tecla, std::function<void()> acao, bool soNavegando = false);
    // Called for every key before anything else; true consumes it.
    std::function<bool(QKeyEvent*)> teclas;

    // ---- focus colours ----
    struct RegraCores
    {
        bool incluiListas = false;       // drop-down and lookup lists too
        int marcaIgnorada = -1;          // fields with this mark are left alone (10 in the user registry)
        bool obrigatoriosVazios = false; // a field with a non-zero mark, empty and without focus
        QColor corObrigatorio = QColor(0xF0, 0xB7, 0xBC);
    };
    void ativaCoresFoco(const RegraCores& regra);
    void ativaCoresFoco() { ativaCoresFoco(RegraCores{}); }
    // Repaints the focus colours now (after a rule changed a field, say).
    void atualizaCores();
    // The integer mark of a control.
    static void defineMarca(QWidget* controle, int marca);
    static int marca(const QWidget* controle);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    friend class SaidaCaixas;
    bool saidaDe(QWidget* caixa);
    bool navegando() const;
    bool habilitado(QWidget* w) const;
    void avancaFoco(QWidget* de);

    QPointer<QWidget> tela_;
    QPointer<Dataset> ds_;
    QList<QPointer<QWidget>> navegacao_, soEditando_, soIncluindo_;
    QPointer<QWidget> incluir_, alterar_, excluir_, confirmar_, naoConfirmar_;
    QPointer<QLabel> estado_;
    bool enterAvanca_ = false;
    QList<QPointer<QWidget>> excecoesEnter_;
    struct Tecla
    {
        QKeySequence sequencia;
        std::function<void()> acao;
        bool soNavegando;
    };
    QList<Tecla> teclas_;
    bool filtrando_ = false;
    bool cores_ = false;
    RegraCores regra_;
    QList<QPointer<QWidget>> caixasComSaida_;
    std::function<bool(QWidget*)> regraSaida_;
    QPointer<QWidget> dentro_; // the box that really has the cursor (its leaving runs its rule)
};

// ---- field information ----
// The text of the field information box for the focused control (a data box, list, lookup list,
// memo, option group or grid column): column, dataset, whether required and, for a lookup list,
// where its value comes from. Empty when the control is bound to no dataset.
QString InformacaoCampo(QWidget* foco);

// ---- button pictures ----
// The folder of the pictures: "figuras" beside the executable.
QString pastaFiguras();
void definePastaFiguras(const QString& pasta); // another place (tests, installations); "" restores
// The nine record buttons, in this order: first, previous, next, last, Incluir, Alterar, Excluir,
// Confirmar, NaoConfirmar. A missing file leaves the button as it was; a button without hint
// gets the standard one.
void ImagensBotoes(QAbstractButton* Button1, QAbstractButton* Button2, QAbstractButton* Button3,
                   QAbstractButton* Button4, QAbstractButton* incluir, QAbstractButton* alterar,
                   QAbstractButton* excluir, QAbstractButton* Confirmar, QAbstractButton* NaoConfirmar);
// True when figuras/<figura> exists beside the executable.
bool CarregaFigura(const QString& figura);
// Loads figuras/<figura> into the button when it exists; true when loaded.
bool CarregaFigura(QAbstractButton* botao, const QString& figura);
// A button's hint: tooltip and accessible name.
void defineDica(QWidget* controle, const QString& dica);

// ---- tabs ----
// Owner-drawn tabs: each tab filled with the colour of its index, caption in white (or the given
// text colour) 5 pixels from the left and 3 from the top.
void pintaAbas(QTabWidget* abas, const QList<QColor>& cores, const QList<QColor>& coresTexto = {});
// Un-highlights every tab and highlights the active one.
void MudaCorPageControl(QTabWidget* abas);

// ---- web pages ----
// Opens an address in the browser. Replaceable, so that tests do not launch one.
using AbridorEnderecos = std::function<bool(const QString& endereco)>;
void defineAbridorEnderecos(AbridorEnderecos abridor); // empty: the desktop's browser
bool abreEndereco(const QString& endereco);
// The map request for a street in a supported city, or "" when the city is not supported.
QString enderecoMapa(const QString& w_Endereco, const QString& w_Cidade, const QString& w_UF);
// Opens the street map, or shows "Cidade ainda não Disponível".
void MostraMapa(const QString& w_Endereco, const QString& w_Cidade, const QString& w_UF);
// The postal service's postal-code search page.
QString enderecoPesquisaCep();
void PesquisaCep();
