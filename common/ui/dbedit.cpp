#include "common/ui/dbedit.h"

#include "common/mascara.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent), ligacao_(new LigacaoCampo(this, this, LigacaoCampo::Tipo::Edicao))
{
    connect(this, &QLineEdit::textEdited, this, &DBEdit::aoEditar);
    ligacao_->atualiza();
}

void DBEdit::setMascara(const QString& mascara)
{
    mascaraPropria_ = mascara;
    configuraCampo(ligacao_->campo());
    ligacao_->atualiza();
}

QString DBEdit::mascara() const
{
    if (!mascaraPropria_.isEmpty()) return mascaraPropria_;
    Field* f = ligacao_->campo();
    return f ? f->editMask() : QString();
}

void DBEdit::configuraCampo(Field* campo)
{
    const QString qt = mascara::mascaraQt(mascara());
    // Applied only when the mask in force changes: a field learning its size when its dataset opens
    // leaves alone a Qt mask the screen set on the box itself (the client's phones).
    if (qt != mascaraAplicada_) {
        mascaraAplicada_ = qt;
        if (inputMask() != qt) setInputMask(qt);
    }
    if (qt.isEmpty())
        setMaxLength(campo && campo->tipo() == TipoCampo::String && campo->size() > 0 ? campo->size() : 32767);
}

void DBEdit::poeTexto(const QString& texto)
{
    if (texto == textoDaCaixa()) return; // keeps the cursor and the selection
    mostrando_ = true;
    setText(texto);
    mostrando_ = false;
    // setText leaves the cursor after the last position of a mask, where nothing can be typed: an
    // empty masked box (a new record's CPF) takes what is typed from its first position.
    if (!mascara().isEmpty() && vazio()) setCursorPosition(0);
}

QString DBEdit::textoDaCaixa() const
{
    const QString m = mascara();
    if (m.isEmpty()) return text();
    // Blanks as spaces keep their places when the text is put back with setText.
    const mascara::Mascara mm = mascara::interpreta(m);
    QString t = displayText();
    for (int i = 0; i < t.size() && i < mm.posicoes.size(); ++i)
        if (!mm.posicoes[i].literal && t[i] == mm.branco) t[i] = u' ';
    return t;
}

void DBEdit::mostraCampo(Field* campo)
{
    if (!campo) {
        poeTexto(QString());
        return;
    }
    const QString m = mascara();
    if (!m.isEmpty())
        poeTexto(mascara::valorParaTexto(m, ligacao_->textoParaMostrar(true), u' '));
    else
        poeTexto(ligacao_->textoParaMostrar(hasFocus() && ligacao_->aceitaDigitacao()));
}

void DBEdit::aplicaSomenteLeitura(bool somenteLeitura)
{
    setReadOnly(somenteLeitura);
}

void DBEdit::aoEditar()
{
    if (mostrando_) return;
    // At the length limit the box keeps half of a character that takes two UTF-16 units (an
    // emoji): that half would reach the database as "?", so it goes.
    if (mascara().isEmpty()) {
        const QString inteiro = LigacaoCampo::semMeioCaractere(text());
        if (inteiro != text()) {
            const int cursor = qMin(cursorPosition(), int(inteiro.size()));
            poeTexto(inteiro);
            setCursorPosition(cursor);
        }
    }
    if (!ligacao_->editando()) {
        // Typing into a browsed record: open it for change first, keeping what was typed.
        const QString digitado = textoDaCaixa();
        const int cursor = cursorPosition();
        if (!ligacao_->preparaEdicao()) {
            ligacao_->descarta();
            return;
        }
        poeTexto(digitado);
        setCursorPosition(cursor);
    }
    if (caixa_ != Caixa::Normal && mascara().isEmpty()) {
        const QString t = text();
        const QString convertido = caixa_ == Caixa::Alta ? t.toUpper() : t.toLower();
        if (convertido != t) {
            const int cursor = cursorPosition();
            poeTexto(convertido);
            setCursorPosition(cursor);
        }
    }
    ligacao_->marcaModificado();
}

void DBEdit::gravaCampo(Field& campo)
{
    const QString m = mascara();
    if (m.isEmpty()) {
        campo.setText(text());
        return;
    }
    const QString t = displayText();
    if (!mascara::completo(m, t)) throw EntradaInvalida(mascara::mensagemIncompleto());
    campo.setText(mascara::textoParaValor(m, t));
}

bool DBEdit::vazio() const
{
    const QString m = mascara();
    return (m.isEmpty() ? text() : mascara::textoParaValor(m, displayText())).trimmed().isEmpty();
}

void DBEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && ligacao_->modificado()) {
        ligacao_->descarta();
        selectAll();
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) ligacao_->grava();
    QLineEdit::keyPressEvent(e);
}

void DBEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    // The edit text replaces the display text ("0,45" for "0,450").
    if (!ligacao_->modificado() && mascara().isEmpty() && ligacao_->aceitaDigitacao()) ligacao_->descarta();
}

namespace {
// Takes the next mouse press of this turn of the event loop out of the way, then goes.
class DescartaClique : public QObject
{
public:
    DescartaClique() : QObject(qApp)
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(0, this, [this] { deleteLater(); });
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick) return false;
        qApp->removeEventFilter(this);
        deleteLater();
        return true;
    }
};
} // namespace

void DBEdit::descartaCliqueAChegar()
{
    new DescartaClique;
}

void DBEdit::mousePressEvent(QMouseEvent* e)
{
    QLineEdit::mousePressEvent(e);
    // A click in the middle of an empty masked box would leave the first positions behind the
    // cursor and drop the digits typed past the last one.
    if (e->button() == Qt::LeftButton && !mascara().isEmpty() && vazio()) setCursorPosition(0);
}

void DBEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // Another window taking the focus (a message box, a menu) is no leaving of the box.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (ligacao_->modificado()) {
        if (!ligacao_->grava()) {
            setFocus(Qt::OtherFocusReason);
            selectAll();
            // The press that moved the cursor is still on its way to what was clicked, its release
            // already taken by the message box: a button would stay drawn pressed.
            if (e->reason() == Qt::MouseFocusReason) descartaCliqueAChegar();
        }
        return;
    }
    if (mascara().isEmpty()) ligacao_->descarta(); // back to the display text
}

DBEdit::~DBEdit()
{
    ligacao_->soltaControle();
}
