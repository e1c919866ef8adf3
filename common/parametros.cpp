#include "parametros.h"

#include "data/firebird.h"

QString Parametros::BuscaConfiguracao(const QString& w_Parametro)
{
    const QString chave = w_Parametro.toUpper();
    Indice = -1;
    for (qsizetype i = 0; i < VetorConfig.size(); ++i) {
        if (VetorConfig[i].compare(chave, Qt::CaseInsensitive) == 0) {
            Indice = int(i);
            break;
        }
    }
    // A key without a value (lists of different lengths) reads as empty, like a missing key.
    if (Indice < 0 || Indice >= VetorConfigVal.size()) return QString();
    return VetorConfigVal[Indice];
}

void Parametros::limpa()
{
    VetorConfig.clear();
    VetorConfigVal.clear();
    Indice = -1;
}

Parametros& parametros()
{
    static Parametros store;
    return store;
}

QString BuscaConfiguracao(const QString& w_Parametro)
{
    return parametros().BuscaConfiguracao(w_Parametro);
}

bool parametroLigado(const QString& chave)
{
    return BuscaConfiguracao(chave).trimmed().compare(u"S", Qt::CaseInsensitive) == 0;
}

void carregaParametros(fb::Attachment& attachment, fb::Transaction& transaction)
{
    QStringList chaves, valores;
    {
        // Ordered so that keys differing only in letter case always resolve the same way.
        fb::Statement s(attachment, transaction, QStringLiteral("select CHAVE, VALOR from PARAMETROS order by CHAVE"));
        s.execute();
        while (s.fetch()) {
            chaves << s.value(0).toString();
            valores << s.value(1).toString();
        }
    }
    Parametros& p = parametros();
    p.VetorConfig = chaves;
    p.VetorConfigVal = valores;
    p.Indice = -1;
}
