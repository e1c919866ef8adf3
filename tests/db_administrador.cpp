// The installer's tool for the administrator's CPF, birth date and mobile number, run as the
// set-up runs it, on a fresh database.
#include "testdb.h"

#include <QProcess>
#include <QtTest>

namespace {

struct Saida
{
    int codigo = -1;
    QString erro;
};

Saida administrador(const TestDatabase& db, const QStringList& argumentos)
{
    QProcess p;
    p.start(QStringLiteral(COMEDAL_BINARY_DIR "/data/comedal-administrador"),
            QStringList{db.settings().database} + argumentos);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

} // namespace

class TestAdministrador : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dadosDoAdministrador_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("recusa"); // empty: stored
        QTest::newRow("typed with punctuation") << QStringList{"529.982.247-25", "12/03/1980", "(71) 98888-7777"} << "";
        QTest::newRow("digits only") << QStringList{"52998224725", "12031980", "7188887777"} << "";
        QTest::newRow("wrong check digit") << QStringList{"52998224726", "12/03/1980", "71988887777"} << "CPF inválido";
        QTest::newRow("the placeholder") << QStringList{"000.000.000-00", "12/03/1980", "71988887777"}
                                         << "CPF inválido";
        QTest::newRow("a quote") << QStringList{"5299822472'5", "12/03/1980", "71988887777"} << "CPF inválido";
        QTest::newRow("no such date") << QStringList{"52998224725", "31/02/1980", "71988887777"}
                                      << "Data de nascimento inválida";
        QTest::newRow("born in the future")
            << QStringList{"52998224725", "12/03/2990", "71988887777"} << "Data de nascimento inválida";
        QTest::newRow("mobile without DDD")
            << QStringList{"52998224725", "12/03/1980", "98888-7777"} << "Celular inválido";
        QTest::newRow("another user's CPF")
            << QStringList{"11144477735", "12/03/1980", "71988887777"} << "já é do usuário CARLA";
    }
    void dadosDoAdministrador()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, recusa);
        TestDatabase db;
        db.exec(QStringLiteral("insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO) "
                               "values ('CARLA', 'Carla1', 'SALVADOR', 'PITUBA', '11144477735', '1985-12-31', 'S')"));
        QCOMPARE(administrador(db, {"--pendente"}).codigo, 0); // a new database asks

        const Saida s = administrador(db, argumentos);
        const QString cpf = db.valor(QStringLiteral("select CPF from USUARIOS where ID = 1")).toString();
        if (recusa.isEmpty()) {
            QVERIFY2(s.codigo == 0, qPrintable(s.erro));
            QCOMPARE(cpf, QStringLiteral("52998224725"));
            QCOMPARE(db.valor(QStringLiteral("select NASCIMENTO from USUARIOS where ID = 1")).toDate(),
                     QDate(1980, 3, 12));
            QCOMPARE(db.valor(QStringLiteral("select CELULAR from USUARIOS where ID = 1")).toString(),
                     argumentos[2].size() > 12 ? QStringLiteral("71988887777") : QStringLiteral("7188887777"));
            QCOMPARE(administrador(db, {"--pendente"}).codigo, 1);
        } else {
            QCOMPARE(s.codigo, 1);
            QVERIFY2(s.erro.contains(recusa), qPrintable(s.erro));
            QCOMPARE(cpf, QStringLiteral("00000000000"));
            QCOMPARE(administrador(db, {"--pendente"}).codigo, 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestAdministrador)
#include "db_administrador.moc"
