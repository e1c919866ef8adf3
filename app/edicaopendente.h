#pragma once
// Which open screens hold a record being edited or inserted, so that leaving the program does not
// throw away what was typed without saying so.

#include <QList>
#include <QString>
#include <QStringList>

class Dataset;
class QWidget;

// The datasets a screen works on: its own, and those its data-aware widgets and grids show (the
// shared ones of the data module included).
QList<Dataset*> datasetsDaTela(const QWidget* tela);
bool telaEmEdicao(const QWidget* tela);
// "Existem registros em edição: Pesagem, Clientes. Sair sem gravar?"; empty with no screen named.
QString perguntaEdicaoPendente(const QStringList& telas);
