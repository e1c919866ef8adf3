#pragma once
// Drop-down list bound to a field, with a fixed item list. Picking an item writes its text
// through Field::setText (a set-text hook of the field may store a code instead); an editable
// list also takes free text, written when the user leaves it. While the record cannot be
// changed the list does not open and keeps its value.

#include "common/ui/ligacaocampo.h"

#include <QComboBox>

class DBComboBox : public QComboBox, private LigacaoCampo::Controle
{
    Q_OBJECT
public:
    enum class Caixa { Normal, Alta, Baixa };

    explicit DBComboBox(QWidget* parent = nullptr);
    ~DBComboBox() override;

    void liga(Dataset* dataset, const QString& campo) { ligacao_->liga(dataset, campo); }
    LigacaoCampo* ligacao() const { return ligacao_; }
    void setEditaAoDigitar(bool sim) { ligacao_->setEditaAoDigitar(sim); }
    void setSomenteLeitura(bool sim) { ligacao_->setSomenteLeitura(sim); }
    // Free text besides the items.
    void setLivre(bool sim);
    void setCaixa(Caixa caixa) { caixa_ = caixa; }
    void setItens(const QStringList& itens);

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void mostraCampo(Field* campo) override;
    void aplicaSomenteLeitura(bool somenteLeitura) override;
    void gravaCampo(Field& campo) override;
    bool vazio() const override;
    void configuraCampo(Field* campo) override;

    void aoEscolher(int indice);
    void aoEditar();

    LigacaoCampo* ligacao_;
    Caixa caixa_ = Caixa::Normal;
    bool somenteLeitura_ = true;
    bool mostrando_ = false;
};
