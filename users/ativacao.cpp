#include "users/ativacao.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>
#include <QWindow>

AtivacaoTela::AtivacaoTela(QWidget* tela, std::function<void()> aoAtivar)
    : QObject(tela), tela_(tela), aoAtivar_(std::move(aoAtivar))
{
    tela->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &AtivacaoTela::janelaFocada);
}

bool AtivacaoTela::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == tela_ && evento->type() == QEvent::Show) ligaAreaMdi();
    return false;
}

void AtivacaoTela::ligaAreaMdi()
{
    auto* sub = qobject_cast<QMdiSubWindow*>(tela_->parentWidget());
    if (!sub || !sub->mdiArea()) return;
    QMdiArea* area = sub->mdiArea();
    if (subjanela_ != sub) {
        subjanela_ = sub;
        // Only a switch from another screen counts: the main window losing the activation to a
        // message box and taking it back reports no window, then this one again.
        connect(area, &QMdiArea::subWindowActivated, this, [this, sub](QMdiSubWindow* ativa) {
            if (!ativa) return;
            const bool volta = ativa == sub && ultimaAtiva_ != sub;
            ultimaAtiva_ = ativa;
            if (volta && aoAtivar_) aoAtivar_();
        });
    }
    // The first display: the window may have become active before it was shown.
    if (area->activeSubWindow() == sub && ultimaAtiva_ != sub) {
        ultimaAtiva_ = sub;
        if (aoAtivar_) aoAtivar_();
    }
}

void AtivacaoTela::janelaFocada(QWindow* janela)
{
    if (!tela_->isWindow() || !janela) return;
    QWindow* minha = tela_->windowHandle();
    if (!minha) return;
    if (janela == minha) {
        const bool conta = !vindoDeCaixaPropria_ && !janelaPropriaAtiva_;
        vindoDeCaixaPropria_ = false;
        janelaPropriaAtiva_ = true;
        if (conta && aoAtivar_) aoAtivar_();
        return;
    }
    janelaPropriaAtiva_ = false;
    bool propria = false;
    for (QWindow* w = janela->transientParent(); w && !propria; w = w->transientParent())
        propria = w == minha;
    vindoDeCaixaPropria_ = propria;
}
