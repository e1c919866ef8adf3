#pragma once
// Small pieces of look and layout shared by the screens: captions tied to their boxes, a box
// with its button, a caption over its box, headed strips, picture buttons with their hints,
// background and text colours.

#include <QColor>
#include <QString>
#include <QStyle>

class QGridLayout;
class QLabel;
class QToolButton;
class QWidget;

namespace visual {

// A caption that is the buddy of its box.
QLabel* legenda(QWidget* pai, const QString& texto, QWidget* caixa);
// A caption and its box in a grid: the caption at (linha, coluna), the box just right of it over
// largura columns.
void naGrade(QGridLayout* grade, QLabel* legenda, QWidget* caixa, int linha, int coluna, int largura = 1);
// A box and its button side by side, as one cell of a grid.
QWidget* comBotao(QWidget* pai, QWidget* caixa, QWidget* botao);
// A caption over its box, as one cell of a grid.
QWidget* comLegendaAcima(QWidget* pai, QLabel* legenda, QWidget* caixa);
// A headed strip (#B6DAED) across a screen.
QLabel* faixa(QWidget* pai, const QString& texto);
// The record bar's state label ("Navegando...", "Incluindo..."): bold, navy, a little larger.
QLabel* rotuloEstado(QWidget* pai);
// A flat picture button with its hint as tooltip and accessible name.
QToolButton* botaoFigura(QWidget* pai, const char* nome, const QString& dica,
                         QStyle::StandardPixmap figura = QStyle::SP_CustomBase);
void corFundo(QWidget* w, const QColor& cor);
void corTexto(QWidget* w, const QColor& cor);
// Base colour of a box (the colour its text is written on).
void corCaixa(QWidget* w, const QColor& cor);

} // namespace visual
