#pragma once
// Input masks written in three parts, "pattern;S;B":
//   pattern  0 required digit, 9 optional digit, # optional digit or sign, L/l letter, A/a letter or
//            digit, C/c any character (upper case required, lower case optional), > and < force
//            the case of what follows, a backslash makes the next character literal, "/" and ":"
//            are the date and time separators, anything else is literal; a leading "!" puts the
//            optional positions on the left when a shorter value is shown.
//   S        1 stores the literals with the value, 0 stores only the typed characters.
//   B        the character shown in a position not yet typed.
// Pure text functions: no widgets, so the rules are testable on their own and shared by edit
// boxes and grid columns alike.

#include <QString>
#include <QVector>

namespace mascara {

struct Posicao
{
    bool literal = false;
    QChar caractere; // the literal itself, or the mask character (0, 9, L, ...)
    bool obrigatoria = false;
};

struct Mascara
{
    QVector<Posicao> posicoes;
    bool salvaLiterais = true;
    bool brancosAEsquerda = false; // the leading "!"
    QChar branco = u'_';
    QString qt; // the same mask for QLineEdit::setInputMask

    bool vazia() const { return posicoes.isEmpty(); }
    int editaveis() const;
};

Mascara interpreta(const QString& mascara);

// QLineEdit::setInputMask equivalent ("" for no mask).
QString mascaraQt(const QString& mascara);

// Stored value -> text shown in the box: every position of the pattern, untyped ones as the
// blank character (or `branco` when given; a space is what QLineEdit::setText keeps in place).
// An empty value gives an empty text.
QString valorParaTexto(const QString& mascara, const QString& valor, QChar branco = QChar());

// Text of the box (as QLineEdit::displayText shows it, blanks included) -> value to store:
// only the typed characters when S is 0, everything when S is 1; untyped positions inside the
// value read as spaces, those on the padding side (right, or left with "!") are dropped.
// Nothing typed gives an empty value. A text that does not have the pattern's length is taken
// as a value and formatted first.
QString textoParaValor(const QString& mascara, const QString& texto);

// The typed positions of a box text, untyped ones as spaces, without literals and without trimming.
QString posicoesDigitadas(const QString& mascara, const QString& texto);

// True when every required position is typed, or when nothing at all is typed (an empty box
// is the field's own business: its required flag decides).
bool completo(const QString& mascara, const QString& texto);

// Message of a box left with required positions untyped.
QString mensagemIncompleto();

} // namespace mascara
