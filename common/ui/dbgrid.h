#pragma once
// Read-only grid over a Dataset: columns by field name with title and width, rows fetched as the
// grid scrolls, the current row following the dataset's current record and the dataset
// following the user's selection; rows striped by GridZebra.

#include "common/ui/modelodataset.h"

#include <QTableView>

class DBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void liga(Dataset* dataset) { modelo_->setDataset(dataset); }
    Dataset* dataset() const { return modelo_->dataset(); }
    ModeloDataset* modelo() const { return modelo_; }
    void adicionaColuna(const QString& campo, const QString& titulo = QString(), int largura = -1,
                        const QString& mascara = QString());
    // Whole rows selected (default) or only the current cell.
    void setLinhaInteira(bool sim);
    void setZebra(bool sim);
    // The field of the selected column (the field information box asks for it).
    Field* campoSelecionado() const;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void seguirDataset(int linha);
    void aplicaLarguras();

    ModeloDataset* modelo_;
    QAbstractItemDelegate* padrao_;
    bool sincronizando_ = false;
};
