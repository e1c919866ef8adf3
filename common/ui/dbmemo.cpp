#include "common/ui/dbmemo.h"

#include <QKeyEvent>

DBMemo::DBMemo(QWidget* parent)
    : QPlainTextEdit(parent), ligacao_(new LigacaoCampo(this, this, LigacaoCampo::Tipo::Memo))
{
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::aoMudarTexto);
    ligacao_->atualiza();
}

void DBMemo::configuraCampo(Field* campo)
{
    tamanho_ = campo && campo->tipo() == TipoCampo::String ? campo->size() : 0;
}

void DBMemo::poeTexto(const QString& texto)
{
    if (texto == toPlainText()) return;
    mostrando_ = true;
    setPlainText(texto);
    mostrando_ = false;
}

void DBMemo::mostraCampo(Field* campo)
{
    poeTexto(campo ? ligacao_->textoParaMostrar(true) : QString());
}

void DBMemo::aplicaSomenteLeitura(bool somenteLeitura)
{
    setReadOnly(somenteLeitura);
}

void DBMemo::aoMudarTexto()
{
    if (mostrando_) return;
    if (!ligacao_->editando()) {
        const QString digitado = toPlainText();
        const int cursor = textCursor().position();
        if (!ligacao_->preparaEdicao()) {
            ligacao_->descarta();
            return;
        }
        poeTexto(digitado);
        QTextCursor c = textCursor();
        c.setPosition(qMin(cursor, int(digitado.size())));
        setTextCursor(c);
    }
    if (tamanho_ > 0 && toPlainText().size() > tamanho_) {
        // The column holds no more: drop what goes past it, and not half of an emoji (two UTF-16
        // units), which would reach the database as "?".
        const QString texto = toPlainText();
        const int corte = texto.at(tamanho_ - 1).isHighSurrogate() ? tamanho_ - 1 : tamanho_;
        QTextCursor c(document());
        c.setPosition(corte);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        mostrando_ = true;
        c.removeSelectedText();
        mostrando_ = false;
    }
    ligacao_->marcaModificado();
}

void DBMemo::gravaCampo(Field& campo)
{
    campo.setText(toPlainText());
}

bool DBMemo::vazio() const
{
    return toPlainText().trimmed().isEmpty();
}

void DBMemo::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && ligacao_->modificado()) {
        ligacao_->descarta();
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void DBMemo::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (ligacao_->modificado() && !ligacao_->grava()) setFocus(Qt::OtherFocusReason);
}

DBMemo::~DBMemo()
{
    ligacao_->soltaControle();
}
