#pragma once
// Record navigation of the record screens: each screen selects exactly one key through the
// WHERE line of its dataset and moves by rewriting that line.

#include "data/dataset.h"

#include <QString>

QString MinimoRegistro(const QString& w_Campo, const QString& w_Tabela);
QString AnteriorxRegistro(const QString& w_Campo, const QString& w_Tabela, const QString& w_Atual);
QString AnteriorRegistro(const QString& w_Campo, const QString& w_Tabela, const QString& w_Atual, int quantidade);
QString ProximoRegistro(const QString& w_Campo, const QString& w_Tabela, const QString& w_Atual);
QString MaximoxRegistro(const QString& w_Campo, const QString& w_Tabela, const QString& w_Generator);
// Probes the database for the highest key at most `quantidade` below the generator's value.
QString MaximoRegistro(const QString& w_Campo, const QString& w_Tabela, const QString& w_Generator, int quantidade);

// atitude: 1 first, 2 previous, 3 next, 4 last. `linha` is the WHERE line of the dataset.
void MovimentaRegistro(const QString& Campo, const QString& Generator, Dataset& DataSource, int atitude, int linha);

// The generator's current value plus one, without advancing it. With BD given, the query is
// bound to that database (and its transaction) from then on.
double CalcUltimoRegistro(const QString& w_Gerador, fb::Attachment* BD = nullptr, fb::Transaction* transacao = nullptr);
