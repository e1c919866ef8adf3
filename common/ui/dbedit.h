#pragma once
// Single-line box bound to a field: shows the field's display text while browsing and its edit
// text while the user works in it, applies the field's edit mask (or one of the box's own), limits
// the length to the field's size and writes the typed text through Field::setText when the user
// leaves the box or presses Enter.

#include "common/ui/ligacaocampo.h"

#include <QLineEdit>

class DBEdit : public QLineEdit, private LigacaoCampo::Controle
{
    Q_OBJECT
public:
    enum class Caixa { Normal, Alta, Baixa };

    explicit DBEdit(QWidget* parent = nullptr);
    ~DBEdit() override;

    void liga(Dataset* dataset, const QString& campo) { ligacao_->liga(dataset, campo); }
    LigacaoCampo* ligacao() const { return ligacao_; }
    void setEditaAoDigitar(bool sim) { ligacao_->setEditaAoDigitar(sim); }
    void setSomenteLeitura(bool sim) { ligacao_->setSomenteLeitura(sim); }
    // A mask of this box instead of the field's ("" returns to the field's).
    void setMascara(const QString& mascara);
    QString mascara() const; // the mask in force
    // Forces the case of what is typed.
    void setCaixa(Caixa caixa) { caixa_ = caixa; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void mostraCampo(Field* campo) override;
    void aplicaSomenteLeitura(bool somenteLeitura) override;
    void gravaCampo(Field& campo) override;
    bool vazio() const override;
    void configuraCampo(Field* campo) override;

    void aoEditar();
    // A refusal said while the mouse was going down elsewhere: that press goes nowhere.
    static void descartaCliqueAChegar();
    void poeTexto(const QString& texto);
    QString textoDaCaixa() const; // what is typed, blanks of a mask as spaces

    LigacaoCampo* ligacao_;
    QString mascaraPropria_;
    QString mascaraAplicada_; // the Qt mask this box last applied for the mask in force
    Caixa caixa_ = Caixa::Normal;
    bool mostrando_ = false;
};
