#pragma once
// Group of option buttons bound to a field: each item stands for a value ("Ativo" = "S",
// "Bloqueado" = "B"); the item whose value the field holds is chosen, none when it holds another.
// Choosing an item writes its value at once.

#include "common/ui/ligacaocampo.h"

#include <QGroupBox>

class QAbstractButton;
class QButtonGroup;
class QGridLayout;

class DBRadioGroup : public QGroupBox, private LigacaoCampo::Controle
{
    Q_OBJECT
public:
    explicit DBRadioGroup(QWidget* parent = nullptr);
    ~DBRadioGroup() override;

    void liga(Dataset* dataset, const QString& campo) { ligacao_->liga(dataset, campo); }
    LigacaoCampo* ligacao() const { return ligacao_; }
    void setEditaAoDigitar(bool sim) { ligacao_->setEditaAoDigitar(sim); }
    void setSomenteLeitura(bool sim) { ligacao_->setSomenteLeitura(sim); }
    // Items and their values; without values the item texts are stored.
    void setItens(const QStringList& itens, const QStringList& valores = {});
    void setColunas(int colunas);
    int indice() const; // the chosen item, -1 for none
    QAbstractButton* botao(int indice) const;

private:
    void mostraCampo(Field* campo) override;
    void aplicaSomenteLeitura(bool) override {}
    void gravaCampo(Field& campo) override;
    bool vazio() const override { return indice() < 0; }

    void aoClicar(int indice);
    void marca(int indice);
    QString valor(int indice) const;
    void monta();

    LigacaoCampo* ligacao_;
    QButtonGroup* grupo_;
    QGridLayout* layout_;
    QStringList itens_, valores_;
    int colunas_ = 1;
    int escolha_ = -1;
};
