#include "common/ui/dbcombobox.h"

#include <QKeyEvent>
#include <QLineEdit>

DBComboBox::DBComboBox(QWidget* parent)
    : QComboBox(parent), ligacao_(new LigacaoCampo(this, this, LigacaoCampo::Tipo::Lista))
{
    connect(this, qOverload<int>(&QComboBox::activated), this, &DBComboBox::aoEscolher);
    ligacao_->atualiza();
}

void DBComboBox::setLivre(bool sim)
{
    setEditable(sim);
    if (sim) {
        setInsertPolicy(QComboBox::NoInsert);
        connect(lineEdit(), &QLineEdit::textEdited, this, &DBComboBox::aoEditar, Qt::UniqueConnection);
    }
    ligacao_->atualiza();
}

void DBComboBox::setItens(const QStringList& itens)
{
    mostrando_ = true;
    clear();
    addItems(itens);
    mostrando_ = false;
    ligacao_->atualiza();
}

void DBComboBox::configuraCampo(Field* campo)
{
    if (lineEdit())
        lineEdit()->setMaxLength(campo && campo->tipo() == TipoCampo::String && campo->size() > 0 ? campo->size()
                                                                                                  : 32767);
}

void DBComboBox::mostraCampo(Field* campo)
{
    mostrando_ = true;
    const QString t = campo ? ligacao_->textoParaMostrar(true) : QString();
    const int i = findText(t, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    setCurrentIndex(i);
    if (isEditable()) setEditText(t);
    mostrando_ = false;
}

void DBComboBox::aplicaSomenteLeitura(bool somenteLeitura)
{
    somenteLeitura_ = somenteLeitura && !ligacao_->editaAoDigitar();
    if (lineEdit()) lineEdit()->setReadOnly(somenteLeitura);
}

void DBComboBox::showPopup()
{
    if (somenteLeitura_ && !ligacao_->aceitaDigitacao()) return;
    QComboBox::showPopup();
}

void DBComboBox::aoEscolher(int indice)
{
    if (mostrando_ || indice < 0) return;
    const QString escolhido = itemText(indice);
    if (!ligacao_->preparaEdicao()) {
        ligacao_->descarta();
        return;
    }
    // Opening the record showed the old value again: the pick comes back.
    mostrando_ = true;
    setCurrentIndex(indice);
    if (isEditable()) setEditText(escolhido);
    mostrando_ = false;
    ligacao_->marcaModificado();
    ligacao_->grava();
}

void DBComboBox::aoEditar()
{
    if (mostrando_) return;
    // An emoji typed or pasted at the length limit leaves its first half in the box, which would be
    // stored as "?": the half goes, as any other character past the limit.
    const QString inteiro = LigacaoCampo::semMeioCaractere(currentText());
    if (inteiro != currentText()) {
        const int cursor = qMin(lineEdit()->cursorPosition(), int(inteiro.size()));
        mostrando_ = true;
        setEditText(inteiro);
        lineEdit()->setCursorPosition(cursor);
        mostrando_ = false;
    }
    if (!ligacao_->editando()) {
        const QString digitado = currentText();
        const int cursor = lineEdit()->cursorPosition();
        if (!ligacao_->preparaEdicao()) {
            ligacao_->descarta();
            return;
        }
        mostrando_ = true;
        setEditText(digitado);
        lineEdit()->setCursorPosition(cursor);
        mostrando_ = false;
    }
    if (caixa_ != Caixa::Normal) {
        const QString t = currentText();
        const QString convertido = caixa_ == Caixa::Alta ? t.toUpper() : t.toLower();
        if (convertido != t) {
            const int cursor = lineEdit()->cursorPosition();
            mostrando_ = true;
            setEditText(convertido);
            lineEdit()->setCursorPosition(cursor);
            mostrando_ = false;
        }
    }
    ligacao_->marcaModificado();
}

void DBComboBox::gravaCampo(Field& campo)
{
    campo.setText(currentText());
}

bool DBComboBox::vazio() const
{
    return currentText().trimmed().isEmpty();
}

void DBComboBox::keyPressEvent(QKeyEvent* e)
{
    const bool fixo = !ligacao_->aceitaDigitacao();
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        break;
    case Qt::Key_Escape:
        if (ligacao_->modificado()) {
            ligacao_->descarta();
            e->accept();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ligacao_->grava();
        break;
    default:
        // Arrows, Home/End and letters change the pick: not while the record cannot change.
        if (fixo && !isEditable()) {
            e->ignore();
            return;
        }
    }
    QComboBox::keyPressEvent(e);
}

void DBComboBox::wheelEvent(QWheelEvent* e)
{
    if (!ligacao_->aceitaDigitacao()) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

void DBComboBox::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (ligacao_->modificado() && !ligacao_->grava()) setFocus(Qt::OtherFocusReason);
}

DBComboBox::~DBComboBox()
{
    ligacao_->soltaControle();
}
