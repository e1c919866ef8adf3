#include "common/ui/visual.h"

#include "common/ui/cores.h"
#include "common/ui/telacadastro.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace visual {

QLabel* legenda(QWidget* pai, const QString& texto, QWidget* caixa)
{
    auto* l = new QLabel(texto, pai);
    if (caixa) l->setBuddy(caixa);
    return l;
}

QWidget* comBotao(QWidget* pai, QWidget* caixa, QWidget* botao)
{
    auto* w = new QWidget(pai);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    caixa->setParent(w);
    botao->setParent(w);
    h->addWidget(caixa, 1);
    h->addWidget(botao);
    return w;
}

QWidget* comLegendaAcima(QWidget* pai, QLabel* legenda, QWidget* caixa)
{
    auto* w = new QWidget(pai);
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    v->addWidget(legenda);
    v->addWidget(caixa);
    return w;
}

QLabel* faixa(QWidget* pai, const QString& texto)
{
    auto* l = new QLabel(texto, pai);
    l->setAutoFillBackground(true);
    corFundo(l, cor::faixaSecao);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setContentsMargins(2, 2, 2, 2);
    return l;
}

QToolButton* botaoFigura(QWidget* pai, const char* nome, const QString& dica, QStyle::StandardPixmap figura)
{
    auto* b = new QToolButton(pai);
    b->setObjectName(QString::fromLatin1(nome));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    if (figura != QStyle::SP_CustomBase) b->setIcon(QApplication::style()->standardIcon(figura));
    defineDica(b, dica);
    return b;
}

void corFundo(QWidget* w, const QColor& cor)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, cor);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void corTexto(QWidget* w, const QColor& cor)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, cor);
    p.setColor(QPalette::Text, cor);
    w->setPalette(p);
}

void corCaixa(QWidget* w, const QColor& cor)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, cor);
    w->setPalette(p);
}

} // namespace visual
