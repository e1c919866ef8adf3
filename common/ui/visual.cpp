#include "common/ui/visual.h"

#include "common/ui/cores.h"
#include "common/ui/telacadastro.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>

namespace visual {

QLabel* legenda(QWidget* pai, const QString& texto, QWidget* caixa)
{
    auto* l = new QLabel(texto, pai);
    if (caixa) {
        l->setBuddy(caixa);
        // A screen reader names a box by its buddy only when both share a parent; a box placed
        // beside its button sits in a cell of its own, so it is given the caption's words too.
        if (caixa->accessibleName().isEmpty()) {
            QString nome = texto;
            nome.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
            caixa->setAccessibleName(nome.replace(QStringLiteral("\x01"), QStringLiteral("&")));
        }
    }
    return l;
}

namespace {
// Two widgets as one cell, side by side or one over the other; the first takes the stretch.
QWidget* celula(QWidget* pai, QBoxLayout::Direction direcao, QWidget* primeiro, QWidget* segundo, int esticar)
{
    auto* w = new QWidget(pai);
    auto* l = new QBoxLayout(direcao, w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(2);
    primeiro->setParent(w);
    segundo->setParent(w);
    l->addWidget(primeiro, esticar);
    l->addWidget(segundo);
    return w;
}
} // namespace

void naGrade(QGridLayout* grade, QLabel* legenda, QWidget* caixa, int linha, int coluna, int largura)
{
    grade->addWidget(legenda, linha, coluna);
    grade->addWidget(caixa, linha, coluna + 1, 1, largura);
}

QWidget* comBotao(QWidget* pai, QWidget* caixa, QWidget* botao)
{
    return celula(pai, QBoxLayout::LeftToRight, caixa, botao, 1);
}

QWidget* comLegendaAcima(QWidget* pai, QLabel* legenda, QWidget* caixa)
{
    return celula(pai, QBoxLayout::TopToBottom, legenda, caixa, 0);
}

QLabel* rotuloEstado(QWidget* pai)
{
    auto* l = new QLabel(QStringLiteral("Navegando..."), pai);
    l->setObjectName(QStringLiteral("Estado"));
    QFont f = l->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    l->setFont(f);
    corTexto(l, cor::azulMarinho);
    l->setMinimumWidth(130);
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
