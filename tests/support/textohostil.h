#pragma once
// Hostile operator input for screen tests: the texts that break hand-built SQL, character
// counting or encodings, a way to put them into a box as the keyboard or the clipboard would,
// and the checks that follow (no server message, other rows untouched).

#include <QList>
#include <QRegularExpression>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "telas.h"

class TestDatabase;

namespace hostil {

// How a row of the table measures its text against the box it goes into.
enum Medida {
    Literal = 0,      // the text as it stands
    Exata = 1,        // as many characters as the box takes
    UmAMais = 2,      // one character more than the box takes
    EmojiNaBorda = 3, // one less than the box takes, then an emoji (two UTF-16 units)
};

// Adds the columns "texto" (QString) and "medida" (int, a Medida) and one row per hostile text:
// quotes, a statement, LIKE wildcards, accents, an emoji, a tab and a line break inside the text,
// a backslash, and the three texts measured against the box.
void linhas();

// The text of a row for a box that takes `tamanho` characters; the measured rows are made of
// `enchimento` (an accented letter for text boxes, a digit for boxes that take digits only).
QString texto(const QString& literal, int medida, int tamanho, QChar enchimento = u'Ç');

// What a box limited to `tamanho` UTF-16 units keeps of a text: never half of an emoji.
QString cabe(const QString& texto, int tamanho);

// Puts the text into the box as the operator would, replacing what it held: key by key (an emoji
// is one key event carrying both of its halves), or pasted from the clipboard when the text
// holds a tab or a line break, which the keyboard cannot put into a single-line box.
void entra(QWidget* caixa, const QString& texto);
void digita(QWidget* caixa, const QString& texto);
void cola(QWidget* caixa, const QString& texto);

// Every row of a select, all columns, as one text (blobs in hex): equal before and after means
// nothing in those rows changed. Read through a connection of its own.
QString impressao(const TestDatabase& db, const QString& select);

// The program's own messages for bad input: too long, not a number, not a date or time, a
// required field empty, a mask left half filled.
QList<QRegularExpression> mensagensDeEntrada();
QRegularExpression exata(const QString& mensagem); // one message, matched literally

// The texts that none of the patterns accounts for: a server message leaking to the operator.
QStringList estranhas(const QStringList& textos, const QList<QRegularExpression>& conhecidas);

// The screen's widget of that name; the test program stops when there is none.
using ::filho;
void clica(const QWidget* tela, const char* botao);
// The window shown and active, so that the focus moves as the operator sees it.
bool mostra(QWidget* janela, QSize tamanho = QSize(1100, 700));
// What a line box or a memo holds.
QString textoDe(const QWidget* caixa);

} // namespace hostil
