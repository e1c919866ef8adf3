#include "common/ui/gridzebra.h"

#include "common/ui/cores.h"

#include <QPainter>

CoresCelula GridZebra(int numeroRegistro, bool marcada, const QPalette& paleta)
{
    if (marcada) return {cores().CorSelecao, paleta.color(QPalette::Active, QPalette::HighlightedText)};
    if (numeroRegistro % 2 != 0) return {cores().CorDBGrid, Qt::black};
    return {Qt::white, Qt::black};
}

void DelegadoZebra::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opcao(option);
    const bool marcada = opcao.state & (QStyle::State_Selected | QStyle::State_HasFocus);
    const CoresCelula c = GridZebra(index.row() + 1, marcada, opcao.palette);
    painter->save();
    painter->fillRect(opcao.rect, c.fundo);
    painter->restore();
    // The default drawing writes the text on the stripe, without a selection of its own.
    opcao.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        opcao.palette.setColor(g, QPalette::Text, c.texto);
        opcao.palette.setColor(g, QPalette::WindowText, c.texto);
    }
    QStyledItemDelegate::paint(painter, opcao, index);
}
