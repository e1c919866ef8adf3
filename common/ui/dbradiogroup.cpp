#include "common/ui/dbradiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

DBRadioGroup::DBRadioGroup(QWidget* parent)
    : QGroupBox(parent), ligacao_(new LigacaoCampo(this, this, LigacaoCampo::Tipo::Outro)),
      grupo_(new QButtonGroup(this)), layout_(new QGridLayout(this))
{
    connect(grupo_, &QButtonGroup::idClicked, this, &DBRadioGroup::aoClicar);
    ligacao_->atualiza();
}

void DBRadioGroup::setItens(const QStringList& itens, const QStringList& valores)
{
    itens_ = itens;
    valores_ = valores;
    monta();
}

void DBRadioGroup::setColunas(int colunas)
{
    colunas_ = qMax(1, colunas);
    monta();
}

void DBRadioGroup::monta()
{
    const QList<QAbstractButton*> antigos = grupo_->buttons();
    for (QAbstractButton* b : antigos) {
        grupo_->removeButton(b);
        delete b;
    }
    const int linhas = (int(itens_.size()) + colunas_ - 1) / colunas_;
    for (int i = 0; i < itens_.size(); ++i) {
        auto* b = new QRadioButton(itens_[i], this);
        grupo_->addButton(b, i);
        layout_->addWidget(b, linhas ? i % linhas : 0, linhas ? i / linhas : 0);
    }
    ligacao_->atualiza();
}

QString DBRadioGroup::valor(int indice) const
{
    if (indice < 0 || indice >= itens_.size()) return {};
    return indice < valores_.size() ? valores_[indice] : itens_[indice];
}

int DBRadioGroup::indice() const
{
    return grupo_->checkedId();
}

QAbstractButton* DBRadioGroup::botao(int indice) const
{
    return grupo_->button(indice);
}

void DBRadioGroup::marca(int indice)
{
    // An exclusive group cannot show "none": exclusivity is lifted while unticking.
    grupo_->setExclusive(false);
    for (QAbstractButton* b : grupo_->buttons())
        b->setChecked(grupo_->id(b) == indice);
    grupo_->setExclusive(true);
}

void DBRadioGroup::mostraCampo(Field* campo)
{
    int achado = -1;
    if (campo) {
        const QString v = campo->text().trimmed();
        for (int i = 0; i < itens_.size() && achado < 0; ++i)
            if (valor(i).compare(v, Qt::CaseInsensitive) == 0) achado = i;
    }
    marca(achado);
}

void DBRadioGroup::aoClicar(int indice)
{
    escolha_ = indice;
    if (!ligacao_->preparaEdicao()) {
        ligacao_->descarta(); // the record cannot change: the old choice comes back
        return;
    }
    marca(indice);
    ligacao_->marcaModificado();
    ligacao_->grava();
}

void DBRadioGroup::gravaCampo(Field& campo)
{
    campo.setText(valor(escolha_));
}

DBRadioGroup::~DBRadioGroup()
{
    ligacao_->soltaControle();
}
