#pragma once
// Table model over a Dataset for the grids: one row per fetched record, columns chosen by field
// name. Rows are fetched from the dataset only as the view scrolls to them (canFetchMore /
// fetchMore), so a list over many rows reads only what is shown.

#include "data/dataset.h"

#include <QAbstractTableModel>
#include <QPointer>

class ModeloDataset : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Coluna
    {
        QString campo;
        QString titulo;   // empty: the field's display label
        int largura = -1; // pixels; -1 leaves the view's default
        QString mascara;  // shows the value through an edit mask
    };

    explicit ModeloDataset(QObject* parent = nullptr);

    void setDataset(Dataset* dataset);
    Dataset* dataset() const { return ds_; }
    // Without columns every field of the dataset is shown, titled by its display label.
    void setColunas(const QList<Coluna>& colunas);
    void adicionaColuna(const Coluna& coluna);
    const QList<Coluna>& colunas() const { return colunas_; }
    Field* campoDaColuna(int coluna) const;
    int lote() const { return lote_; }
    void setLote(int linhas) { lote_ = qMax(1, linhas); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

Q_SIGNALS:
    // The dataset's current record changed (row -1: none).
    void registroAtualMudou(int linha);
    // The columns were laid out again (after the dataset opened): widths may be applied.
    void colunasMudaram();

private:
    void reinicia();
    void resolveColunas();
    void aoMudarEstado();
    void aoMudarLinhas();
    void aoMudarRegistro();
    void linhaMudou(int linha);

    QPointer<Dataset> ds_;
    QList<Coluna> colunas_;
    bool colunasAutomaticas_ = true;
    QList<Coluna> efetivas_; // the columns shown
    QVector<int> indices_;   // position of each column's field in the dataset's field list
    int linhas_ = 0;         // rows the views know of
    bool ativo_ = false;
    int lote_ = 100;
    QList<QMetaObject::Connection> conexoes_;
};
