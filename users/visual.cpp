#include "users/visual.h"

#include "common/ui/cores.h"
#include "common/ui/telacadastro.h"

#include <QApplication>
#include <QLabel>
#include <QToolButton>

namespace visual {

QLabel* legenda(QWidget* pai, const QString& texto, QWidget* caixa)
{
    auto* l = new QLabel(texto, pai);
    if (caixa) l->setBuddy(caixa);
    return l;
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
