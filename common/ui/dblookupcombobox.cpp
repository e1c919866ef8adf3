#include "common/ui/dblookupcombobox.h"

#include "common/ui/relatorioerro.h"

#include <QKeyEvent>

namespace {
bool mesmaChave(const QVariant& a, const QVariant& b)
{
    if (!a.isValid() || a.isNull() || !b.isValid() || b.isNull()) return false;
    bool na = false, nb = false;
    const double da = a.toDouble(&na), db = b.toDouble(&nb);
    if (na && nb) return da == db;
    return a.toString().trimmed() == b.toString().trimmed();
}
} // namespace

DBLookupComboBox::DBLookupComboBox(QWidget* parent)
    : QComboBox(parent), ligacao_(new LigacaoCampo(this, this, LigacaoCampo::Tipo::Lista))
{
    connect(this, qOverload<int>(&QComboBox::activated), this, &DBLookupComboBox::aoEscolher);
    ligacao_->atualiza();
}

void DBLookupComboBox::setLista(Dataset* lista, const QString& campoChave, const QString& campoLista)
{
    for (const auto& c : conexoes_)
        disconnect(c);
    conexoes_.clear();
    lista_ = lista;
    campoChave_ = campoChave;
    campoLista_ = campoLista;
    if (lista) {
        conexoes_ << connect(lista, &Dataset::rowsChanged, this, &DBLookupComboBox::recarregaItens);
        conexoes_ << connect(lista, &Dataset::stateChanged, this, &DBLookupComboBox::recarregaItens);
        conexoes_ << connect(lista, &Dataset::recordChanged, this, [this] {
            if (ligacao_->nomeCampo().isEmpty()) mostraAtual();
        });
    }
    recarregaItens();
}

void DBLookupComboBox::recarregaItens()
{
    if (mostrando_) return;
    mostrando_ = true;
    clear();
    if (lista_ && lista_->active()) {
        // Lists are short (states, users): all their rows are shown.
        lista_->fetchAll();
        const int iChave = int(lista_->fields().indexOf(lista_->findField(campoChave_)));
        const int iLista = int(lista_->fields().indexOf(lista_->findField(campoLista_)));
        for (int r = 0; r < lista_->recordCount(); ++r)
            addItem(lista_->displayTextAt(r, iLista), lista_->valueAt(r, iChave));
    }
    mostrando_ = false;
    mostraAtual();
}

void DBLookupComboBox::mostraAtual()
{
    if (ligacao_->nomeCampo().isEmpty()) {
        mostrando_ = true;
        setCurrentIndex(lista_ && lista_->active() ? lista_->recNo() : -1);
        mostrando_ = false;
    } else {
        ligacao_->descarta();
    }
}

void DBLookupComboBox::mostraCampo(Field* campo)
{
    int indice = -1;
    if (campo) {
        const QVariant v = campo->value();
        for (int i = 0; i < count() && indice < 0; ++i)
            if (mesmaChave(itemData(i), v)) indice = i;
    }
    mostrando_ = true;
    setCurrentIndex(indice);
    mostrando_ = false;
}

QVariant DBLookupComboBox::chave() const
{
    return currentIndex() < 0 ? QVariant() : itemData(currentIndex());
}

bool DBLookupComboBox::podeEscolher() const
{
    return ligacao_->nomeCampo().isEmpty() ? (lista_ && lista_->active()) : ligacao_->aceitaDigitacao();
}

void DBLookupComboBox::showPopup()
{
    if (podeEscolher()) QComboBox::showPopup();
}

void DBLookupComboBox::aoEscolher(int indice)
{
    if (mostrando_ || indice < 0) return;
    escolha_ = itemData(indice);
    if (ligacao_->nomeCampo().isEmpty()) {
        if (protegido([&] { lista_->moveTo(indice); })) Q_EMIT escolhido(escolha_);
        mostraAtual();
        return;
    }
    if (!ligacao_->preparaEdicao()) {
        ligacao_->descarta();
        return;
    }
    ligacao_->marcaModificado();
    if (ligacao_->grava()) Q_EMIT escolhido(escolha_);
}

void DBLookupComboBox::gravaCampo(Field& campo)
{
    campo.setValue(escolha_);
}

void DBLookupComboBox::keyPressEvent(QKeyEvent* e)
{
    if (e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab && !podeEscolher()) {
        e->ignore();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void DBLookupComboBox::wheelEvent(QWheelEvent* e)
{
    if (!podeEscolher()) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

DBLookupComboBox::~DBLookupComboBox()
{
    for (const auto& c : conexoes_)
        disconnect(c);
    ligacao_->soltaControle();
}
