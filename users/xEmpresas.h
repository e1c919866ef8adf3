#pragma once
// The company screen ("Dados da Empresa"): corrects the restaurant company's record (corporate
// name and CNPJ stay as registered). Changing needs the logged-in user's right to change on the
// program "Dados da Empresa" (the administrator always has it); without it, typing into a field is
// refused with a warning. Every activation reads the company rows again.

#include <QHash>
#include <QWidget>
#include <functional>

class DBComboBox;
class DBEdit;
class DBImage;
class Dataset;
class QFrame;
class QTabWidget;
class QToolButton;
class TelaCadastro;

class TEmpresa : public QWidget
{
    Q_OBJECT
public:
    explicit TEmpresa(QWidget* parent = nullptr);
    ~TEmpresa() override;

    static QString programa() { return QStringLiteral("Dados da Empresa"); }
    // The 26 entries of the state picker, in their order.
    static QStringList estados();

    void AlterarClick();
    void ConfirmarClick();
    void NaoConfirmarClick();
    void NavegaClick(int atitude); // 2 previous, 3 next
    // Each activation: the company rows read again, the right to change read again.
    void FormActivate();
    bool podeAlterar() const { return podeAlterar_; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void montaTela();
    QWidget* montaBasico();
    QWidget* montaInternet();
    void ligaCampos();
    void configuraTela();
    void reabre();
    void leEstados();

    Dataset* Empresas;
    TelaCadastro* tela_;
    bool podeAlterar_ = false;
    std::function<void(Dataset&)> antesEditar_; // the dataset's own hook, put back at the end
    QHash<QString, int> idPorSigla_;            // UNIDADEFEDERACAO: "BA" -> ID
    QHash<int, QString> siglaPorId_;

    QFrame* PanelTopo;
    DBEdit* w_RazaoSocial;
    QToolButton* BotaoImagem;
    QToolButton* BotaoAjuda;
    QTabWidget* PageControl;
    QTabWidget* PageControl2;
    DBEdit* w_CNPJ;
    DBEdit* w_CEP;
    QToolButton* BotaoCep;
    DBComboBox* w_UF;
    DBEdit* w_Cidade;
    DBEdit* w_Bairro;
    DBEdit* w_Endereco;
    DBEdit* w_Numero;
    DBEdit* w_Telefone;
    DBEdit* w_TelefoneWhatsapp;
    DBEdit* w_IE;
    DBEdit* w_IM;
    DBEdit* w_Fantasia;
    DBImage* w_Logo;
    QToolButton* BotaoCaptura;
    QToolButton* BotaoCopiar;
    QToolButton* BotaoRecortar;
    QToolButton* BotaoColar;
    QToolButton* Alterar;
    QToolButton* Confirmar;
    QToolButton* NaoConfirmar;
    QToolButton* BotaoAnterior;
    QToolButton* BotaoProximo;
};
