#pragma once
// Schema upgrades of databases made by an earlier version of the scripts. Each step is recorded in
// the database's ATUALIZACOES table when it has been applied, is written so that running it again
// changes nothing, and never drops or rewrites a stored row: it only adds what the program now
// needs (an index, a constraint).

#include "data/firebird.h"

#include <QList>
#include <QString>

namespace atualizacao {

enum class Banco { Local, Central };

struct Passo
{
    int numero = 0;
    QString descricao;
    QString aviso; // what the step could not do as planned, for the installer; empty when none
};

// Applies the steps of this kind of database that ATUALIZACOES does not list yet, in order, each
// committed with its record. Returns the steps applied now (none when it is up to date).
QList<Passo> aplica(fb::Attachment& att, Banco banco);

// The steps recorded as applied in the database.
QList<int> aplicados(fb::Attachment& att);

} // namespace atualizacao
