#include "common/ui/dbcheckbox.h"

DBCheckBox::DBCheckBox(QWidget* parent)
    : QCheckBox(parent), ligacao_(new LigacaoCampo(this, this, LigacaoCampo::Tipo::Outro))
{
    ligacao_->atualiza();
}

void DBCheckBox::setValores(const QString& marcado, const QString& desmarcado)
{
    marcado_ = marcado;
    desmarcado_ = desmarcado;
    ligacao_->atualiza();
}

void DBCheckBox::mostraCampo(Field* campo)
{
    setChecked(campo && campo->text().trimmed().compare(marcado_, Qt::CaseInsensitive) == 0);
}

void DBCheckBox::nextCheckState()
{
    const bool marcar = !isChecked();
    if (!ligacao_->preparaEdicao()) return; // the record cannot change: the tick stays
    setChecked(marcar);
    ligacao_->marcaModificado();
    ligacao_->grava();
}

void DBCheckBox::gravaCampo(Field& campo)
{
    campo.setText(isChecked() ? marcado_ : desmarcado_);
}

DBCheckBox::~DBCheckBox()
{
    ligacao_->soltaControle();
}
