#pragma once
// The user registry ("Cadastro de Usuários"): the operators who may log in, one at a time from the
// shared user list, with their identification, address, job, account state, password demands,
// expiry, working hours, photo, and the list of their logins into this system. Adding, changing
// and deleting follow the logged-in user's rights on the program "Usuários".
// A password typed while adding or changing a user is stored (four to forty characters) and
// demands a change at the next login; the ten-character placeholder means "unchanged".
// The administrator's password and mobile number are set, and the administrator blocked,
// cancelled or deleted, by the administrator alone.

#include <QWidget>

class AtivacaoTela;
class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBGrid;
class DBImage;
class DBLookupComboBox;
class DBMemo;
class DBRadioGroup;
class Dataset;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolButton;
class TelaCadastro;

class TCad_Usuario : public QWidget
{
    Q_OBJECT
public:
    explicit TCad_Usuario(QWidget* parent = nullptr);
    ~TCad_Usuario() override;

    // The program name under which the rights are kept.
    static QString programa() { return QStringLiteral("Usuários"); }

    // ---- actions ----
    void IncluirClick();
    void AlterarClick();
    void ConfirmarClick();
    void NaoConfirmarClick();
    void ExcluirClick();
    void NavegaClick(int atitude); // 1 first, 2 previous, 3 next, 4 last
    void BotaoCodigoClick();       // go to code (F6)
    void BotaoMapaClick();
    void BotaoCepClick();
    void FotoDblClick();
    // The screen became the one the operator works in: the rights are read again.
    void FormActivate();

    // The text the password field shows for a user's unchanged password.
    static QString senhaNaoAlterada();
    // Whether a password was typed since the field was last reset.
    bool senhaDigitada() const { return senhaDigitada_; }
    Dataset* listaAcessos() const { return LogUsuario; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void montaTela();
    QWidget* montaCadastro();
    QWidget* montaOutrosDados();
    QWidget* montaBarra();
    void ligaCampos();
    void configuraTela();

    void PageControlChange();
    void abreAcessos();
    void reiniciaSenha();
    void aplicaSenha();
    bool administradorProtegido() const;
    void protegeAdministrador();
    void confereAdministrador();
    void abreSomente(const QVariant& id);

    Dataset* Usuarios;
    Dataset* LogUsuario;
    TelaCadastro* tela_;
    AtivacaoTela* ativacao_;
    bool podeIncluir_ = false, podeAlterar_ = false, podeExcluir_ = false;
    bool senhaDigitada_ = false;
    QVariant gravando_;    // the key of the user being saved, while it is saved
    QString semExpiracao_; // the warning for a user saved without an expiry date, shown once saved
    bool reiniciando_ = false;

    QTabWidget* PageControl;
    QWidget* TabCadastro;
    QWidget* TabOutros;
    DBEdit* w_Codigo;
    QToolButton* BotaoCodigo;
    QToolButton* BotaoAjuda;
    DBEdit* w_CPF;
    DBEdit* w_Nome;
    DBEdit* w_Apelido;
    QToolButton* BotaoNome;
    DBEdit* w_CEP;
    QToolButton* BotaoCep;
    DBLookupComboBox* w_UF;
    QToolButton* BotaoMapa;
    DBEdit* w_Cidade;
    DBEdit* w_Bairro;
    DBEdit* w_Endereco;
    DBEdit* w_Telefone;
    DBEdit* w_Celular;
    DBEdit* w_Nascimento;
    DBEdit* w_Matricula;
    DBEdit* w_Funcao;
    QLineEdit* w_Senha;
    QLabel* LBS;
    DBCheckBox* w_SolicitaSenha;
    DBRadioGroup* w_Ativo;
    DBMemo* w_Observacao;
    DBImage* w_Foto;
    DBEdit* w_Codigo2;
    QToolButton* BotaoCodigo2;
    DBEdit* w_Nome2;
    DBEdit* w_Expira;
    DBEdit* w_HoraInicio;
    DBEdit* w_HoraFim;
    DBEdit* w_DataAdmissao;
    DBComboBox* w_Sexo;
    DBGrid* GridAcessos;
    QLabel* Estado;
    QToolButton* Button1;
    QToolButton* Button2;
    QToolButton* Button3;
    QToolButton* Button4;
    QToolButton* Incluir;
    QToolButton* Alterar;
    QToolButton* Excluir;
    QToolButton* Confirmar;
    QToolButton* NaoConfirmar;
};
