#pragma once
// The password recovery window ("Recuperar Senha"), opened from the login window's "Esqueci minha
// senha": a user identified by CPF and birth date receives a random temporary password on the
// WhatsApp of the mobile number in the registry and must change it at the next login. The
// password is changed only when the gateway accepted the message; otherwise the old one stays and
// the user is told why. The user's row is held from before the sending until the new password is
// stored, so a password sent is a password kept. Three failed identifications in one activation
// end the program.

#include "users/gatewaywhatsapp.h"

#include <QDialog>
#include <functional>

class AtivacaoTela;
class QLineEdit;
class QPushButton;

class TRecuperarSenha : public QDialog
{
    Q_OBJECT
public:
    explicit TRecuperarSenha(QWidget* parent = nullptr);

    // Identifications left in this activation.
    int contador = 3;

    void RecuperarClick();
    void CancelarClick();
    // Each activation: both boxes cleared, three attempts, the focus in the CPF box.
    void FormActivate();
    // The CPF check on leaving its box; false keeps the focus there.
    bool w_CPFExit();

    // The gateway the temporary password goes through (its endpoint is the parameter
    // urlwhatappgw unless one is set).
    GatewayWhatsApp& gateway() { return gateway_; }
    // Ends the program after the third failed identification (replaceable for tests).
    std::function<void()> encerraAplicacao;

    // The message that carries the temporary password.
    static QString textoMensagem(const QString& senha, const QString& aplicativo, const QString& razaoSocial);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QString cpfDigitado() const;
    void recupera();

    QLineEdit* w_CPF;
    QLineEdit* w_Nascimento;
    QPushButton* Recuperar;
    QPushButton* Cancelar;
    AtivacaoTela* ativacao_;
    GatewayWhatsApp gateway_;
};
