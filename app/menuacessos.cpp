#include "app/menuacessos.h"

#include "common/dialogos.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

int tagDe(QAction* acao)
{
    QVariant tag = acao->property("Tag");
    if (!tag.isValid() && acao->menu()) tag = acao->menu()->property("Tag");
    return tag.toInt();
}

ItemMenu descreve(QAction* acao)
{
    ItemMenu item;
    item.caption = acao->isSeparator() ? QStringLiteral("-") : acao->text();
    item.Tag = tagDe(acao);
    item.habilita = [a = QPointer<QAction>(acao)] {
        if (a) a->setEnabled(true);
    };
    if (QMenu* menu = acao->menu())
        for (QAction* filho : menu->actions())
            item.sub.push_back(descreve(filho));
    return item;
}

} // namespace

std::vector<ItemMenu> descreveMenu(QMenuBar* barra)
{
    std::vector<ItemMenu> itens;
    if (barra)
        for (QAction* acao : barra->actions())
            itens.push_back(descreve(acao));
    return itens;
}

void MapearMenu(QMenuBar* barra)
{
    if (!confirma(QStringLiteral("Você gostaria realmente de Refazer o Menu?"))) return;
    informa(GeraControleAcesso(descreveMenu(barra)));
}
