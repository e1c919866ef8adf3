#include "app/edicaopendente.h"

#include "common/ui/ligacaocampo.h"
#include "common/ui/modelodataset.h"
#include "data/dataset.h"

#include <QWidget>

QList<Dataset*> datasetsDaTela(const QWidget* tela)
{
    QList<Dataset*> ds;
    auto junta = [&ds](Dataset* d) {
        if (d && !ds.contains(d)) ds << d;
    };
    if (!tela) return ds;
    for (Dataset* d : tela->findChildren<Dataset*>())
        junta(d);
    for (const LigacaoCampo* l : tela->findChildren<LigacaoCampo*>())
        junta(l->dataset());
    for (const ModeloDataset* m : tela->findChildren<ModeloDataset*>())
        junta(m->dataset());
    return ds;
}

bool telaEmEdicao(const QWidget* tela)
{
    for (const Dataset* d : datasetsDaTela(tela))
        if (d->isEditing()) return true;
    return false;
}

QString perguntaEdicaoPendente(const QStringList& telas)
{
    if (telas.isEmpty()) return {};
    return QStringLiteral("Existem registros em edição: ") + telas.join(QStringLiteral(", ")) +
           QStringLiteral(". Sair sem gravar?");
}
