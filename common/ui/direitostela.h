#pragma once
// The logged-in user's rights applied to a screen that restricts its commands only under the
// parameter DireitosEmTodasAsTelas (meal, client and export screens): read when the screen is
// created and again every time it comes forward, so that a right granted during the session works
// without a new login. Without the parameter nothing is read and every command stays allowed.

#include "common/acessos.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QMdiSubWindow;
class QWidget;
class TelaCadastro;

class DireitosTela : public QObject
{
    Q_OBJECT
public:
    // aplica receives the rights each time they are read.
    DireitosTela(QWidget* tela, const QString& programa, std::function<void(const Direitos&)> aplica);

    // Reads the rights again and applies them.
    void le();
    const Direitos& direitos() const { return direitos_; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QWidget* tela_;
    QString programa_;
    std::function<void(const Direitos&)> aplica_;
    Direitos direitos_{true, true, true};
    QPointer<QMdiSubWindow> subjanela_;
};

// A record screen: Incluir, Alterar and Excluir follow the rights as well as the screen's own rule.
DireitosTela* aplicaDireitos(TelaCadastro* tela, const QString& programa);
// A screen whose one command (the export's button) needs Incluir.
DireitosTela* aplicaDireitoIncluir(QWidget* tela, QAbstractButton* botao, const QString& programa);
