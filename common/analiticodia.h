#pragma once
// Figures of the daily meal report: meals, distinct consumers (by CPF) and weight served per day,
// with the period's totals. Shared by the report screen and the comedal-relatorio command, so both
// show the same numbers. Weights are kept in grams to add and average without rounding drift.

#include "data/firebird.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>

struct FiguraDia
{
    QString cnpj; // restaurant, central database only
    QDate data;   // invalid on a totals line
    qint64 refeicoes = 0;
    qint64 consumidores = 0;
    qint64 gramas = 0;
    // Average weight per meal in grams, rounded half up; 0 without meals.
    qint64 mediaGramas() const;
};

struct FiguraConsumidor
{
    QString cpf, nome;
    qint64 refeicoes = 0;
    qint64 diasRepetidos = 0; // days with more than one meal
};

// A period read in full: what the report screen shows.
struct Analitico
{
    QList<FiguraDia> dias;
    FiguraDia total;
    QList<FiguraConsumidor> consumidores;
};

namespace analitico {

// Another connection to the same database: a long period is then read in two halves at once.
using Conexao = std::function<fb::Attachment()>;

// The days, the totals and the consumers (with their names when comNomes) of a period, local
// database, from a single reading of its meals.
Analitico periodo(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate, bool comNomes = true,
                  const Conexao& outra = {});
// The day table and its totals line, without the consumers: what the command writes.
Analitico tabela(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate,
                 const Conexao& outra = {});
// The client's name for each CPF (empty without a record), from the first record (lowest ID) with
// that CPF. A few CPFs are looked up many per statement; when todos and they are a good part of the
// clients, every client is read once instead.
QHash<QString, QString> nomes(fb::Attachment& att, fb::Transaction& tra, const QStringList& cpfs, bool todos = true);
void poeNomes(fb::Attachment& att, fb::Transaction& tra, QList<FiguraConsumidor>& consumidores);
// One line per day with at least one meal, in date order, local database.
QList<FiguraDia> porDia(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate);
// The period as a whole: consumers counted once over the period.
FiguraDia total(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate);
// Consumers of the period in CPF order, name from the client record.
QList<FiguraConsumidor> porConsumidor(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate);

// Central database: for every restaurant in CNPJ order its days, then its totals line.
QList<FiguraDia> centralPorDia(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate,
                               const Conexao& outra = {});

// Grams as kilograms with a comma and three decimals: 1234 -> "1,234".
QString kg(qint64 gramas);
// "***.456.789-**": only the middle of the CPF shows.
QString cpfMascarado(const QString& cpf);
// The day table as CSV: header, one line per day, the totals line; ";" separated, "\n" ended.
// With central lines the CNPJ comes first.
QString csv(const QList<FiguraDia>& dias, const FiguraDia& total);
QString csvCentral(const QList<FiguraDia>& linhas);
// "dd/mm/yyyy" strictly; invalid date when the text is not one.
QDate data(const QString& texto);

} // namespace analitico
