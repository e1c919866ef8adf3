// Parameter store lookups: any letter case finds a key, the first of two equal keys wins, a
// missing key reads as empty and the position of the last lookup is kept.
#include "common/parametros.h"

#include <QtTest>

class ParametrosStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { parametros().limpa(); }

    void busca_data()
    {
        QTest::addColumn<QStringList>("chaves");
        QTest::addColumn<QStringList>("valores");
        QTest::addColumn<QString>("pedida");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<int>("indice");
        const QStringList chaves{"BuscaRG", "BuscaCPF", "tokenwhatappgw"};
        const QStringList valores{"N", "S", "abc123"};
        QTest::newRow("as written") << chaves << valores << "BuscaCPF"
                                    << "S" << 1;
        QTest::newRow("lower case") << chaves << valores << "buscacpf"
                                    << "S" << 1;
        QTest::newRow("upper case") << chaves << valores << "BUSCACPF"
                                    << "S" << 1;
        QTest::newRow("key stored in lower case") << chaves << valores << "TOKENWHATAPPGW"
                                                  << "abc123" << 2;
        QTest::newRow("missing") << chaves << valores << "PadraoBuscaParcialPaciente"
                                 << "" << -1;
        QTest::newRow("prefix is not the key") << chaves << valores << "Busca"
                                               << "" << -1;
        QTest::newRow("empty key asked") << chaves << valores << ""
                                         << "" << -1;
        QTest::newRow("empty store") << QStringList() << QStringList() << "BuscaCPF"
                                     << "" << -1;
        QTest::newRow("first of two equal keys")
            << QStringList{"BuscaCPF", "BUSCACPF"} << QStringList{"S", "N"} << "buscaCPF"
            << "S" << 0;
        QTest::newRow("accented key") << QStringList{"Ação"} << QStringList{"S"} << "AÇÃO"
                                      << "S" << 0;
        // A key whose value is missing must not read past the values: it reads as not set.
        QTest::newRow("key without value") << QStringList{"BuscaRG", "BuscaCPF"} << QStringList{"S"} << "BuscaCPF"
                                           << "" << 1;
    }
    void busca()
    {
        QFETCH(QStringList, chaves);
        QFETCH(QStringList, valores);
        QFETCH(QString, pedida);
        QFETCH(QString, valor);
        QFETCH(int, indice);
        parametros().VetorConfig = chaves;
        parametros().VetorConfigVal = valores;
        QCOMPARE(BuscaConfiguracao(pedida), valor);
        QCOMPARE(parametros().Indice, indice);
    }

    void indiceVoltaAMenosUmQuandoNaoAcha()
    {
        parametros().VetorConfig = QStringList{"BuscaCPF"};
        parametros().VetorConfigVal = QStringList{"S"};
        QCOMPARE(BuscaConfiguracao("BuscaCPF"), QStringLiteral("S"));
        QCOMPARE(parametros().Indice, 0);
        QCOMPARE(BuscaConfiguracao("BuscaRG"), QString());
        QCOMPARE(parametros().Indice, -1);
    }
};

QTEST_GUILESS_MAIN(ParametrosStore)
#include "unit_parametros.moc"
