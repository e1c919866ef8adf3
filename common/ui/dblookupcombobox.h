#pragma once
// Drop-down list whose items come from another dataset: the list shows one field of its rows
// (the list field) and picking a row writes the row's key field into the bound field. Without a
// bound field, picking moves the list dataset to the picked row.

#include "common/ui/ligacaocampo.h"

#include <QComboBox>

class DBLookupComboBox : public QComboBox, private LigacaoCampo::Controle
{
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);
    ~DBLookupComboBox() override;

    void liga(Dataset* dataset, const QString& campo) { ligacao_->liga(dataset, campo); }
    LigacaoCampo* ligacao() const { return ligacao_; }
    void setEditaAoDigitar(bool sim) { ligacao_->setEditaAoDigitar(sim); }
    void setSomenteLeitura(bool sim) { ligacao_->setSomenteLeitura(sim); }

    void setLista(Dataset* lista, const QString& campoChave, const QString& campoLista);
    Dataset* lista() const { return lista_; }
    QString campoChave() const { return campoChave_; }
    QString campoLista() const { return campoLista_; }
    // The key of the item shown (invalid when none).
    QVariant chave() const;

    void showPopup() override;

Q_SIGNALS:
    void escolhido(const QVariant& chave); // after the user picked an item and it was taken

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void mostraCampo(Field* campo) override;
    void aplicaSomenteLeitura(bool) override {}
    void gravaCampo(Field& campo) override;
    bool vazio() const override { return currentIndex() < 0; }

    void recarregaItens();
    void aoEscolher(int indice);
    bool podeEscolher() const;
    void mostraAtual();

    LigacaoCampo* ligacao_;
    QPointer<Dataset> lista_;
    QString campoChave_, campoLista_;
    QList<QMetaObject::Connection> conexoes_;
    QVariant escolha_;
    bool mostrando_ = false;
};
