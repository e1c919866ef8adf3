#include "common/ui/ligacaocampo.h"

#include "common/ui/relatorioerro.h"

#include <QLineEdit>
#include <QScopedValueRollback>
#include <QWidget>

namespace {
QList<LigacaoCampo*>& todas()
{
    static QList<LigacaoCampo*> lista;
    return lista;
}
} // namespace

LigacaoCampo::LigacaoCampo(QWidget* widget, Controle* controle, Tipo tipo)
    : QObject(widget), widget_(widget), controle_(controle), tipo_(tipo)
{
    setObjectName(QStringLiteral("ligacaoCampo"));
    todas() << this;
}

LigacaoCampo::~LigacaoCampo()
{
    todas().removeOne(this);
}

void LigacaoCampo::liga(Dataset* dataset, const QString& nomeCampo)
{
    for (const auto& c : conexoes_)
        disconnect(c);
    conexoes_.clear();
    ds_ = dataset;
    nomeCampo_ = nomeCampo;
    configurado_ = nullptr;
    modificado_ = false;
    if (dataset) {
        conexoes_ << connect(dataset, &Dataset::stateChanged, this, &LigacaoCampo::aoMudarEstado);
        conexoes_ << connect(dataset, &Dataset::recordChanged, this, &LigacaoCampo::aoMudarRegistro);
        conexoes_ << connect(dataset, &Dataset::fieldChanged, this, &LigacaoCampo::aoMudarCampo);
    }
    atualiza();
}

Field* LigacaoCampo::campo() const
{
    if (!ds_ || nomeCampo_.isEmpty()) return nullptr;
    return ds_->findField(nomeCampo_);
}

void LigacaoCampo::setEditaAoDigitar(bool sim)
{
    editaAoDigitar_ = sim;
    atualiza();
}

void LigacaoCampo::setSomenteLeitura(bool sim)
{
    somenteLeitura_ = sim;
    atualiza();
}

QString LigacaoCampo::textoParaMostrar(bool paraEdicao) const
{
    Field* f = campo();
    if (!f || !ds_->active()) return {};
    if (textoDoCampo) return textoDoCampo(*f);
    return paraEdicao ? f->text() : f->displayText();
}

bool LigacaoCampo::editando() const
{
    return ds_ && ds_->isEditing();
}

bool LigacaoCampo::aceitaDigitacao() const
{
    Field* f = campo();
    if (!f || somenteLeitura_ || f->readOnly() || f->isCalculated()) return false;
    if (ds_->isEditing()) return true;
    return editaAoDigitar_ && ds_->state() == EstadoDataset::Browse;
}

bool LigacaoCampo::preparaEdicao()
{
    if (!aceitaDigitacao()) return false;
    if (ds_->isEditing()) return true;
    protegido([&] { ds_->edit(); });
    return ds_ && ds_->isEditing();
}

bool LigacaoCampo::grava()
{
    Field* f = campo();
    if (!controle_ || !modificado_ || !f || !ds_->isEditing()) {
        modificado_ = false;
        return true;
    }
    try {
        // A refused value puts the field's own back and says so; the typed text stays if kept.
        const QScopedValueRollback<bool> gravando(gravando_, true);
        controle_->gravaCampo(*f);
        modificado_ = false;
        if (mantemRecusado_) mostra();
        return true;
    } catch (const EntradaInvalida& e) {
        relataErro(e); // the text stays for correction
    } catch (const Abort&) {
        if (!mantemRecusado_) {
            descarta();
        } else if (auto* e = qobject_cast<QLineEdit*>(widget_)) {
            e->selectAll();
        }
    } catch (const std::exception& e) {
        descarta();
        relataErro(e);
    }
    return false;
}

void LigacaoCampo::descarta()
{
    modificado_ = false;
    mostra();
}

void LigacaoCampo::soltaControle()
{
    controle_ = nullptr;
    for (const auto& c : conexoes_)
        disconnect(c);
    conexoes_.clear();
    todas().removeOne(this);
}

void LigacaoCampo::atualiza()
{
    if (!controle_) return;
    Field* f = campo();
    if (f != configurado_ || (f && (f->tipo() != tipoConfigurado_ || f->size() != tamanhoConfigurado_))) {
        configurado_ = f;
        tipoConfigurado_ = f ? f->tipo() : TipoCampo::String;
        tamanhoConfigurado_ = f ? f->size() : -1;
        controle_->configuraCampo(f);
    }
    controle_->aplicaSomenteLeitura(!aceitaDigitacao());
    modificado_ = false;
    mostra();
}

void LigacaoCampo::mostra()
{
    if (!controle_) return;
    Field* f = campo();
    controle_->mostraCampo(f && ds_->active() ? f : nullptr);
}

void LigacaoCampo::aoMudarEstado()
{
    atualiza();
}

void LigacaoCampo::aoMudarRegistro()
{
    modificado_ = false;
    mostra();
}

void LigacaoCampo::aoMudarCampo(Field* f)
{
    if (gravando_ && mantemRecusado_) return; // the write in progress decides what is shown
    if (f && f == campo()) {
        modificado_ = false;
        mostra();
    }
}

LigacaoCampo* LigacaoCampo::de(const QObject* widget)
{
    if (!widget) return nullptr;
    LigacaoCampo* l = widget->findChild<LigacaoCampo*>(QStringLiteral("ligacaoCampo"), Qt::FindDirectChildrenOnly);
    return l && l->controle_ ? l : nullptr;
}

void LigacaoCampo::gravaPendentes(Dataset* dataset)
{
    const QList<LigacaoCampo*> lista = todas();
    for (LigacaoCampo* l : lista)
        if (l->ds_ == dataset && l->modificado_ && !l->grava()) throw Abort();
}

QString LigacaoCampo::semMeioCaractere(const QString& texto)
{
    QString inteiro;
    inteiro.reserve(texto.size());
    for (int i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate()) {
            inteiro += c;
            inteiro += texto.at(++i);
        } else if (!c.isSurrogate()) {
            inteiro += c;
        }
    }
    return inteiro;
}
