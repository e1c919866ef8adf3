#pragma once
// Portuguese texts of the toolkit's standard dialogs, installed once per run by the main window
// before any box can appear. The table replaces built-in texts (captions, buttons and two
// database messages); Qt's own pt_BR translations cover the rest of its standard dialogs.

#include <QString>

// Installs the whole table and Qt's pt_BR translations. Safe to call again.
void TraduzMensagemSistema();

// One replacement: the built-in text AResString reads as ANewValue for the rest of the run.
void TraduzMsg(const QString& AResString, const QString& ANewValue);

// The replacement of a built-in text, or the text itself when it has none.
QString traduzTexto(const QString& textoOriginal);
