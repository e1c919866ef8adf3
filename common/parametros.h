#pragma once
// The parameter store: named text settings that switch optional behaviour on. A key that is not
// held reads as empty text, and every optional behaviour is off when its key reads empty.

#include <QString>
#include <QStringList>

namespace fb {
class Attachment;
class Transaction;
} // namespace fb

struct Parametros
{
    QStringList VetorConfig;    // keys
    QStringList VetorConfigVal; // the value of each key, at the same position
    int Indice = -1;            // position found by the last lookup, -1 when not found

    // The value of the first key equal to w_Parametro regardless of letter case, or empty text.
    // Never fails.
    QString BuscaConfiguracao(const QString& w_Parametro);
    void limpa();
};

// The store of this run; several screens read it.
Parametros& parametros();

// BuscaConfiguracao on the store of this run.
QString BuscaConfiguracao(const QString& w_Parametro);

// An optional behaviour switched on: its key reads "S" (any case, blanks around ignored).
bool parametroLigado(const QString& chave);

// Replaces the store's contents by the rows of PARAMETROS (a NULL value reads as empty text).
// On a database error the store is left as it was.
void carregaParametros(fb::Attachment& attachment, fb::Transaction& transaction);
