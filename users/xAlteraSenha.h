#pragma once
// The password change window ("   Alterar Senha"): the logged-in user types the old password and
// the new one twice. It stays on top, has no title-bar buttons and no way out but a successful
// change; the main window opens it after a login whose user must change the password. It is not
// modal, so the change goes to the logged-in user's row by key, wherever the shared user list
// stands by then.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TAlteraSenha : public QDialog
{
    Q_OBJECT
public:
    explicit TAlteraSenha(QWidget* parent = nullptr);

    // "Alterar": checks the three boxes and changes the password; false when a check refused it.
    bool AlterarClick();
    // Whether the change was made (the window then closes).
    bool alterada() const { return alterada_; }

    void reject() override; // Esc does not close it

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void w_ConfirmaChange();
    void gravaSenha(int usuario, const QString& senha);

    QLineEdit* w_SenhaAntiga;
    QLineEdit* w_NovaSenha;
    QLineEdit* w_ConfirmaSenha;
    QPushButton* Alterar;
    QPushButton* Cancela;
    bool alterada_ = false;
};
