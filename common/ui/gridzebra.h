#pragma once
// Striped drawing of the data grids: odd records on CorDBGrid, even ones on white, a selected or
// focused cell on CorSelecao with the highlighted-text colour. The colours are read from the
// shared colours at the moment of drawing.

#include <QColor>
#include <QPalette>
#include <QStyledItemDelegate>

struct CoresCelula
{
    QColor fundo;
    QColor texto;
};

// numeroRegistro counts from 1; marcada: the cell is selected or focused.
CoresCelula GridZebra(int numeroRegistro, bool marcada, const QPalette& paleta);

class DelegadoZebra : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
