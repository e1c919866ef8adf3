#include "common/ui/modelodataset.h"

#include "common/mascara.h"

ModeloDataset::ModeloDataset(QObject* parent) : QAbstractTableModel(parent) {}

void ModeloDataset::setDataset(Dataset* dataset)
{
    for (const auto& c : conexoes_)
        disconnect(c);
    conexoes_.clear();
    ds_ = dataset;
    if (dataset) {
        conexoes_ << connect(dataset, &Dataset::stateChanged, this, &ModeloDataset::aoMudarEstado);
        conexoes_ << connect(dataset, &Dataset::rowsChanged, this, &ModeloDataset::aoMudarLinhas);
        conexoes_ << connect(dataset, &Dataset::recordChanged, this, &ModeloDataset::aoMudarRegistro);
        conexoes_ << connect(dataset, &Dataset::fieldChanged, this, [this](Field*) {
            if (ds_) linhaMudou(ds_->recNo());
        });
        conexoes_ << connect(dataset, &QObject::destroyed, this, [this] { reinicia(); });
    }
    reinicia();
}

void ModeloDataset::setColunas(const QList<Coluna>& colunas)
{
    colunas_ = colunas;
    colunasAutomaticas_ = colunas.isEmpty();
    reinicia();
}

void ModeloDataset::adicionaColuna(const Coluna& coluna)
{
    colunas_ << coluna;
    colunasAutomaticas_ = false;
    reinicia();
}

void ModeloDataset::resolveColunas()
{
    efetivas_.clear();
    indices_.clear();
    if (colunasAutomaticas_) {
        if (ds_)
            for (Field* f : ds_->fields())
                efetivas_ << Coluna{f->fieldName(), QString(), -1, QString()};
    } else {
        efetivas_ = colunas_;
    }
    for (const Coluna& c : efetivas_) {
        Field* f = ds_ ? ds_->findField(c.campo) : nullptr;
        indices_ << (f ? int(ds_->fields().indexOf(f)) : -1);
    }
}

void ModeloDataset::reinicia()
{
    beginResetModel();
    ativo_ = ds_ && ds_->active();
    linhas_ = ativo_ ? ds_->recordCount() : 0;
    resolveColunas();
    endResetModel();
    Q_EMIT colunasMudaram();
    Q_EMIT registroAtualMudou(ativo_ ? ds_->recNo() : -1);
}

void ModeloDataset::aoMudarEstado()
{
    const bool ativo = ds_ && ds_->active();
    if (ativo != ativo_) {
        reinicia(); // opened (fields may be new) or closed
        return;
    }
    linhaMudou(ds_ ? ds_->recNo() : -1); // the row being edited is shown from the edit buffer
}

// The dataset only says that its rows changed. Rows fetched from the cursor are always added at
// the end, so more rows outside an insert are appended rows and the views keep their place; the
// same count means values moved (a delete that fetched one more row); anything else (a posted
// insert, a delete) lays the rows out again.
void ModeloDataset::aoMudarLinhas()
{
    if (!ds_ || !ds_->active() || !ativo_) {
        reinicia();
        return;
    }
    const int n = ds_->recordCount();
    if (n > linhas_ && ds_->state() != EstadoDataset::Insert) {
        beginInsertRows({}, linhas_, n - 1);
        linhas_ = n;
        endInsertRows();
    } else if (n == linhas_) {
        if (n > 0) Q_EMIT dataChanged(index(0, 0), index(n - 1, int(efetivas_.size()) - 1));
    } else {
        reinicia();
    }
}

void ModeloDataset::aoMudarRegistro()
{
    if (!ds_) return;
    if (ds_->active() && ds_->recordCount() > linhas_ && ds_->state() != EstadoDataset::Insert) aoMudarLinhas();
    linhaMudou(ds_->recNo());
    Q_EMIT registroAtualMudou(ds_->active() ? ds_->recNo() : -1);
}

void ModeloDataset::linhaMudou(int linha)
{
    if (linha >= 0 && linha < linhas_ && !efetivas_.isEmpty())
        Q_EMIT dataChanged(index(linha, 0), index(linha, int(efetivas_.size()) - 1));
}

Field* ModeloDataset::campoDaColuna(int coluna) const
{
    if (!ds_ || coluna < 0 || coluna >= indices_.size() || indices_[coluna] < 0) return nullptr;
    return ds_->fields().value(indices_[coluna]);
}

int ModeloDataset::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : linhas_;
}

int ModeloDataset::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(efetivas_.size());
}

QVariant ModeloDataset::data(const QModelIndex& index, int role) const
{
    if (!ds_ || !index.isValid() || index.row() >= linhas_ || index.column() >= indices_.size()) return {};
    const int iCampo = indices_[index.column()];
    switch (role) {
    case Qt::DisplayRole: {
        const QString texto = ds_->displayTextAt(index.row(), iCampo);
        const QString& m = efetivas_[index.column()].mascara;
        return m.isEmpty() ? texto : mascara::valorParaTexto(m, texto, u' ');
    }
    case Qt::TextAlignmentRole: {
        const Field* f = campoDaColuna(index.column());
        if (f && (f->tipo() == TipoCampo::Integer || f->tipo() == TipoCampo::Float))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    case Qt::EditRole:
        return ds_->valueAt(index.row(), iCampo);
    default:
        return {};
    }
}

QVariant ModeloDataset::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= efetivas_.size()) return {};
    const Coluna& c = efetivas_[section];
    if (!c.titulo.isEmpty()) return c.titulo;
    const Field* f = campoDaColuna(section);
    return f ? f->displayLabel() : c.campo;
}

Qt::ItemFlags ModeloDataset::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

bool ModeloDataset::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && ds_ && ds_->active() && !ds_->allFetched();
}

void ModeloDataset::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent)) ds_->fetchMore(lote_); // the rows arrive through rowsChanged
}
