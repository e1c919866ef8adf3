#pragma once
// The activation of a screen: the moment it becomes the one the operator works in. For a screen
// inside the main window that is its first display and every return to it from another screen;
// for a window of its own, every time it takes the activation back from another window of the
// program. Closing a message box that the window itself opened does not count.

#include <QObject>
#include <QPointer>
#include <functional>

class QMdiSubWindow;
class QWidget;
class QWindow;

class AtivacaoTela : public QObject
{
    Q_OBJECT
public:
    AtivacaoTela(QWidget* tela, std::function<void()> aoAtivar);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void ligaAreaMdi();
    void janelaFocada(QWindow* janela);

    QWidget* tela_;
    std::function<void()> aoAtivar_;
    QPointer<QMdiSubWindow> subjanela_;
    QPointer<QMdiSubWindow> ultimaAtiva_;
    bool vindoDeCaixaPropria_ = false;
    bool janelaPropriaAtiva_ = false;
};
