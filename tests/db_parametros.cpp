// Filling the parameter store from the PARAMETROS table.
#include "common/parametros.h"
#include "testdb.h"

#include <QtTest>

class ParametrosBanco : public QObject
{
    Q_OBJECT

private:
    static void insere(fb::Attachment& att, fb::Transaction& tra, const QString& chave, const QVariant& valor)
    {
        fb::Statement s(att, tra, "insert into PARAMETROS (CHAVE, VALOR) values (:CHAVE, :VALOR)");
        s.setParameter("CHAVE", chave);
        s.setParameter("VALOR", valor);
        s.execute();
    }

private Q_SLOTS:
    void init() { parametros().limpa(); }

    void carregaDaTabela()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        const QString token = QStringLiteral("tok'en \"çã\" ") + QString(200, u'x');
        insere(att, tra, "tokenwhatappgw", token);
        insere(att, tra, "BuscaCPF", "S");
        insere(att, tra, "BuscaRG", QVariant()); // NULL value
        insere(att, tra, "BUSCACPF", "N");       // same key in another case: one of them must win every time

        parametros().VetorConfig = QStringList{"Antigo"};
        parametros().VetorConfigVal = QStringList{"S"};
        carregaParametros(att, tra);

        QCOMPARE(parametros().VetorConfig.size(), 4);
        QCOMPARE(parametros().VetorConfigVal.size(), 4);
        QCOMPARE(BuscaConfiguracao("TokenWhatappGW"), token); // value kept exactly, trailing space too
        QCOMPARE(BuscaConfiguracao("buscarg"), QString());
        QVERIFY(parametros().Indice >= 0);                // held, with an empty value
        QCOMPARE(BuscaConfiguracao("Antigo"), QString()); // the previous contents are replaced
        QCOMPARE(parametros().Indice, -1);
        QCOMPARE(BuscaConfiguracao("PadraoBuscaParcialPaciente"), QString());
        // Keys are read in key order, and the first of equal keys counts: "BUSCACPF" sorts before "BuscaCPF".
        QCOMPARE(BuscaConfiguracao("buscacpf"), QStringLiteral("N"));
    }

    void tabelaVaziaEsvaziaOArmazem()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        parametros().VetorConfig = QStringList{"BuscaCPF"};
        parametros().VetorConfigVal = QStringList{"S"};
        carregaParametros(att, tra);
        QVERIFY(parametros().VetorConfig.isEmpty());
        QCOMPARE(BuscaConfiguracao("BuscaCPF"), QString());
    }

    void erroDoBancoMantemOArmazem()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        fb::Statement(att, tra, "drop table PARAMETROS").execute();
        parametros().VetorConfig = QStringList{"BuscaCPF"};
        parametros().VetorConfigVal = QStringList{"S"};
        QVERIFY_THROWS_EXCEPTION(fb::Error, carregaParametros(att, tra));
        QCOMPARE(BuscaConfiguracao("BuscaCPF"), QStringLiteral("S"));
    }
};

QTEST_GUILESS_MAIN(ParametrosBanco)
#include "db_parametros.moc"
