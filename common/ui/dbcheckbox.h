#pragma once
// Check box bound to a flag field: ticked when the field holds the "checked" value ("S"),
// unticked otherwise; a click writes the checked or unchecked value ("S"/"N") at once.

#include "common/ui/ligacaocampo.h"

#include <QCheckBox>

class DBCheckBox : public QCheckBox, private LigacaoCampo::Controle
{
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    ~DBCheckBox() override;

    void liga(Dataset* dataset, const QString& campo) { ligacao_->liga(dataset, campo); }
    LigacaoCampo* ligacao() const { return ligacao_; }
    void setEditaAoDigitar(bool sim) { ligacao_->setEditaAoDigitar(sim); }
    void setSomenteLeitura(bool sim) { ligacao_->setSomenteLeitura(sim); }
    void setValores(const QString& marcado, const QString& desmarcado);
    QString valorMarcado() const { return marcado_; }
    QString valorDesmarcado() const { return desmarcado_; }

protected:
    void nextCheckState() override;

private:
    void mostraCampo(Field* campo) override;
    void aplicaSomenteLeitura(bool) override {}
    void gravaCampo(Field& campo) override;
    bool vazio() const override { return false; }

    LigacaoCampo* ligacao_;
    QString marcado_ = QStringLiteral("S"), desmarcado_ = QStringLiteral("N");
};
