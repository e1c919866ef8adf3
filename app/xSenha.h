#pragma once
// The login window: identifies the operator by code (key or registration number) or by name,
// checks the account's state, expiry date and daily hours, compares the password (letter case
// included), counts wrong passwords and blocks the user at the tenth.
// exec() gives Accepted for an accepted login, with Dados->Usuarios on the user's row and Acessos
// on the user's rights; any other way of closing is a cancel, and the program ends.

#include <QDialog>
#include <QPointer>
#include <functional>

class DBLookupComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QToolButton;

class TSenha : public QDialog
{
    Q_OBJECT
public:
    explicit TSenha(QWidget* parent = nullptr);
    ~TSenha() override;

    // Wrong passwords typed in this window, whoever was selected; never reset.
    int vezes = 0;

    // Ends the program: at the blocking and when an access check fails on the Enter key or on
    // "Logar". The window is closed (cancel) right after. Replaceable so tests can watch it.
    std::function<void()> encerraPrograma;

    // The password recovery window of the "Esqueci minha senha" link (TRecuperarSenha unless
    // another is set); the login window owns it, keeps it and shows it without modality.
    using FabricaRecuperacao = std::function<QWidget*(QWidget* pai)>;
    static void defineFabricaRecuperacao(FabricaRecuperacao fabrica);
    QWidget* janelaRecuperacao() const { return recuperacao_; }

    // Handlers, named after their controls.
    void FormShow();
    void FormActivate();
    void w_CodigoExit();
    void DBLookupComboBox1Click();
    // Every key press, before the focused control; true when it was used up.
    bool FormKeyPress(QKeyEvent* tecla);
    void Image4Click();
    void PanelLimparSenhaClick();
    void PanelSairClick();
    void Label9Click();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    // Where a check or the password rule runs from: the wording of the boxes depends on it.
    enum class Via { Codigo, Enter, TeclaLogar, CliqueLogar };
    enum class Resultado { Segue, SenhaErrada, Encerrado };

    bool verificaAcesso(Via via);
    Resultado regraSenha(Via via);
    Resultado enterLogin();
    void teclaLogar();
    void limpaSenha();
    void aceita();
    void bloqueia(int usuario);
    void encerra();
    void fecha(bool aceito);
    QString codigo() const;
    bool temUsuario() const;
    int usuarioAtual() const;
    void pintaPainel(QFrame* painel, bool foco);

    QLabel* LabelTopo;
    QLineEdit* w_Codigo;
    DBLookupComboBox* DBLookupComboBox1;
    QLineEdit* Password;
    QToolButton* SpeedButton1;
    QFrame* PanelLogar;
    QFrame* PanelSair;
    QFrame* PanelLimparSenha;
    QLabel* Image4;
    QLabel* LabelLogar;
    QLabel* Image2;
    QLabel* Label4;
    QLabel* Image3;
    QLabel* Label5;
    QLabel* Label9;

    QPointer<QWidget> recuperacao_;
    bool saindoCodigo_ = false;
    bool fechando_ = false;
};
