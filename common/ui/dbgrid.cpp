#include "common/ui/dbgrid.h"

#include "common/ui/gridzebra.h"
#include "common/ui/relatorioerro.h"

#include <QHeaderView>

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), modelo_(new ModeloDataset(this))
{
    padrao_ = itemDelegate();
    setItemDelegate(new DelegadoZebra(this));
    setModel(modelo_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(modelo_, &ModeloDataset::registroAtualMudou, this, &DBGrid::seguirDataset);
    connect(modelo_, &ModeloDataset::colunasMudaram, this, &DBGrid::aplicaLarguras);
}

void DBGrid::adicionaColuna(const QString& campo, const QString& titulo, int largura, const QString& mascara)
{
    modelo_->adicionaColuna({campo, titulo, largura, mascara});
}

void DBGrid::setLinhaInteira(bool sim)
{
    setSelectionBehavior(sim ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void DBGrid::setZebra(bool sim)
{
    QAbstractItemDelegate* atual = itemDelegate();
    if (sim && !qobject_cast<DelegadoZebra*>(atual))
        setItemDelegate(new DelegadoZebra(this));
    else if (!sim && qobject_cast<DelegadoZebra*>(atual))
        setItemDelegate(padrao_);
}

Field* DBGrid::campoSelecionado() const
{
    const QModelIndex i = currentIndex();
    return modelo_->campoDaColuna(i.isValid() ? i.column() : 0);
}

void DBGrid::aplicaLarguras()
{
    const QList<ModeloDataset::Coluna>& colunas = modelo_->colunas();
    for (int i = 0; i < colunas.size() && i < modelo_->columnCount(); ++i)
        if (colunas[i].largura > 0) horizontalHeader()->resizeSection(i, colunas[i].largura);
}

void DBGrid::seguirDataset(int linha)
{
    if (sincronizando_) return;
    sincronizando_ = true;
    if (linha < 0 || linha >= modelo_->rowCount()) {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    } else {
        const int coluna = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex i = modelo_->index(linha, coluna);
        QItemSelectionModel::SelectionFlags modo = QItemSelectionModel::ClearAndSelect;
        if (selectionBehavior() == SelectRows) modo |= QItemSelectionModel::Rows;
        selectionModel()->setCurrentIndex(i, modo);
        scrollTo(i);
    }
    sincronizando_ = false;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    Dataset* ds = modelo_->dataset();
    if (sincronizando_ || !current.isValid() || !ds || !ds->active() || current.row() == ds->recNo()) return;
    sincronizando_ = true;
    protegido([&] { ds->moveTo(current.row()); });
    sincronizando_ = false;
    if (ds->recNo() != current.row()) seguirDataset(ds->recNo()); // the move was refused: back to where the dataset is
}
