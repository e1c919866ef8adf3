// The dataset and the shared data module against a real database: what a screen relies on when
// it posts, deletes, validates and lists.
#include "data/arquivos.h"
#include "testdb.h"

#include <QtTest>

class DadosCompartilhados : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;

    QVariant outside(const QString& sql) { return db->valor(sql); }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        dados = std::make_unique<TDados>(db->settings());
    }
    void cleanup()
    {
        dados.reset();
        db.reset();
    }

    void sessionLogPostCommitsAndEmpties()
    {
        Dataset& log = *dados->LogEntrada;
        log.open();
        QVERIFY(log.isEmpty());
        log.append();
        log["USUARIO"].setValue(1);
        log["SISTEMA"].setValue("Comedal");
        log["ENTRADA"].setValue(QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
        log.post();
        QVERIFY(log.isEmpty()); // "where ID = 0" selects nothing after the re-open
        QCOMPARE(outside("select count(*) from LOGUSUARIO").toInt(), 1); // committed: another connection sees it
    }

    void requiredFieldRefusedBeforeTheDatabase()
    {
        Dataset& log = *dados->LogEntrada;
        log.open();
        log.append();
        log["USUARIO"].setValue(1);
        log["ENTRADA"].setValue(QDateTime::currentDateTime());
        try {
            log.post();
            QFAIL("posted without SISTEMA");
        } catch (const fb::Error& e) {
            QCOMPARE(e.message(), QStringLiteral("Campo 'SISTEMA' deve possuir um valor"));
        }
        QCOMPARE(log.state(), EstadoDataset::Insert);
        log["SISTEMA"].setText(""); // an empty text is no value either
        QVERIFY_THROWS_EXCEPTION(fb::Error, log.post());
        log["SISTEMA"].setText("Comedal");
        log.post(); // the key is the generator's business
        QCOMPARE(outside("select count(*) from LOGUSUARIO").toInt(), 1);
    }

    void deletingAProgramCommitsAndStaysNear()
    {
        db->exec("INSERT INTO PROGRAMAS (PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU) VALUES ('A', 0, 0, -1);"
                 "INSERT INTO PROGRAMAS (PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU) VALUES ('B', 0, 1, -1);"
                 "INSERT INTO PROGRAMAS (PROGRAMA, MENUHORIZONTAL, MENUVERTICAL, SUBMENU) VALUES ('C', 0, 2, -1);");
        Dataset& p = *dados->Programa;
        p.open();
        QVERIFY(p.locate({"PROGRAMA"}, {"C"}));
        p.deleteRecord();
        QCOMPARE(outside("select count(*) from PROGRAMAS").toInt(), 2);
        QVERIFY(p.active());
        QCOMPARE(p["PROGRAMA"].asString(), QStringLiteral("B")); // past the end lands on the last row
        QVERIFY(p.locate({"PROGRAMA"}, {"A"}));
        p.deleteRecord();
        QCOMPARE(p["PROGRAMA"].asString(), QStringLiteral("B"));
    }

    void failedPostKeepsEarlierCommitsAndTheEdit()
    {
        Dataset& e = *dados->Empresas;
        e.open();
        e.edit();
        e["FANTASIA"].setValue("RESTAURANTE DO POVO");
        e.post();
        // Another workstation holds the user row: the post fails at once with the server's text.
        fb::Attachment other = db->attach();
        fb::Transaction ot(other);
        fb::Statement lock(other, ot, "update USUARIOS set NOME = 'OUTRO' where ID = 1");
        lock.execute();
        Dataset& u = *dados->Usuarios;
        u.open();
        u.edit();
        u["NOME"].setValue("ADMIN ALTERADO");
        try {
            u.post();
            QFAIL("the locked row was written");
        } catch (const fb::Error& err) {
            QVERIFY(err.isLockConflict());
        }
        QCOMPARE(u.state(), EstadoDataset::Edit);
        QCOMPARE(u["NOME"].asString(), QStringLiteral("ADMIN ALTERADO"));
        ot.rollback();
        QCOMPARE(outside("select FANTASIA from EMPRESAS").toString(), QStringLiteral("RESTAURANTE DO POVO"));
        u.cancel();
        QCOMPARE(u["NOME"].asString(), QStringLiteral("ADMINISTRADOR"));
    }

    // Another workstation changed other columns after this one read the row: a post writes only
    // the columns given a value here, so neither change is lost; a post that set nothing writes
    // nothing; a value set here is written even when the stale copy already showed it.
    void postWritesOnlyTheColumnsSetHere()
    {
        Dataset& e = *dados->Empresas;
        e.open();
        db->exec("update EMPRESAS set CIDADE = 'FEIRA DE SANTANA', BAIRRO = 'CENTRO';");
        e.edit();
        e["FANTASIA"].setValue("RESTAURANTE DO POVO");
        e["BAIRRO"].setValue("COMERCIO");
        e.post();
        QCOMPARE(outside("select FANTASIA || '|' || CIDADE || '|' || BAIRRO from EMPRESAS").toString(),
                 QStringLiteral("RESTAURANTE DO POVO|FEIRA DE SANTANA|COMERCIO"));

        fb::Attachment other = db->attach();
        fb::Transaction ot(other);
        fb::Statement lock(other, ot, "update EMPRESAS set CIDADE = 'ILHEUS'");
        lock.execute();
        e.edit();
        e.post(); // nothing set: the held row is not touched
        QCOMPARE(e.state(), EstadoDataset::Browse);
        ot.commit();
        QCOMPARE(outside("select CIDADE from EMPRESAS").toString(), QStringLiteral("ILHEUS"));

        QCOMPARE(e["CIDADE"].asString(), QStringLiteral("FEIRA DE SANTANA")); // this copy is stale
        e.edit();
        e["CIDADE"].setValue("FEIRA DE SANTANA");
        e.post();
        QCOMPARE(outside("select CIDADE from EMPRESAS").toString(), QStringLiteral("FEIRA DE SANTANA"));
    }

    void hooksCanRefuseSilently()
    {
        Dataset& c = *dados->Empresas;
        c["CIDADE"].onValidate = [](Field& f) {
            if (f.asString() == "X") throw Abort();
        };
        c.open();
        c.edit();
        c["CIDADE"].setValue("SALVADOR");
        QVERIFY_THROWS_EXCEPTION(Abort, c["CIDADE"].setValue("X"));
        QCOMPARE(c["CIDADE"].asString(), QStringLiteral("SALVADOR"));
        c.cancel();
        c.beforeEdit = [](Dataset&) { throw Abort(); };
        QVERIFY_THROWS_EXCEPTION(Abort, c.edit());
        QCOMPARE(c.state(), EstadoDataset::Browse);
    }

    void typedTextIsConvertedOrRefused_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QString>("erro");
        QTest::newRow("date") << "NASCIMENTO"
                              << "31/12/1990" << QVariant(QDate(1990, 12, 31)) << "";
        QTest::newRow("bad date") << "NASCIMENTO"
                                  << "31/02/1990" << QVariant() << "'31/02/1990' não é uma data válida";
        QTest::newRow("time") << "HORAINICIO"
                              << "07:30" << QVariant(QTime(7, 30)) << "";
        QTest::newRow("integer") << "MATRICULA"
                                 << "123" << QVariant(123LL) << "";
        QTest::newRow("bad integer") << "MATRICULA"
                                     << "12a" << QVariant() << "'12a' não é um valor inteiro válido";
        QTest::newRow("too long") << "SEXO"
                                  << "MF" << QVariant() << "O campo 'SEXO' aceita no máximo 1 caracteres";
    }
    void typedTextIsConvertedOrRefused()
    {
        QFETCH(QString, campo);
        QFETCH(QString, texto);
        QFETCH(QVariant, valor);
        QFETCH(QString, erro);
        Dataset& u = *dados->Usuarios;
        u.open();
        u.edit();
        const QVariant antes = u[campo].value();
        try {
            u[campo].setText(texto);
            QVERIFY2(erro.isEmpty(), "accepted bad text");
            QCOMPARE(u[campo].value(), valor);
        } catch (const fb::Error& e) {
            QCOMPARE(e.message(), erro);
            QCOMPARE(u[campo].value(), antes);
        }
    }

    void mealListFetchesOnlyWhatIsShownAndNamesEachRow()
    {
        db->exec("INSERT INTO CLIENTE (NOME, MAE, SEXO, CPF) VALUES ('MARIA D''ÁVILA', 'ANA', 'F', '12345678909');\n"
                 "SET TERM ^ ;\n"
                 "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 3000) DO BEGIN "
                 "INSERT INTO REFEICAO (CPF, DATA, HORA, PESO) VALUES (IIF(MOD(:I, 2) = 0, '12345678909', "
                 "'98765432100'), CURRENT_DATE, CURRENT_TIME, 0.5); I = I + 1; END END^");
        Dataset& r = *dados->Refeicao;
        r.open();
        QCOMPARE(r.recordCount(), 1);
        QVERIFY(!r.allFetched());
        QCOMPARE(r["ID"].asFloat(), 3000.0); // newest first
        QCOMPARE(r["NOME"].asString(), QString());
        r.next();
        QCOMPARE(r["NOME"].asString(), QStringLiteral("MARIA D'ÁVILA"));
        r.moveTo(49);
        QCOMPARE(r.recordCount(), 50);
        QCOMPARE(r.displayTextAt(1, r.fields().indexOf(&r["NOME"])), QStringLiteral("MARIA D'ÁVILA"));
    }

    void whereLineBindsTypedTextAsParameter()
    {
        Dataset& c = *dados->Cliente;
        db->exec("INSERT INTO CLIENTE (NOME, MAE, SEXO, CPF) VALUES ('JOSÉ', 'ANA', 'M', '12345678909');");
        c.setLinha(1, "WHERE NOME STARTING WITH :NOME");
        for (const QString& typed : {QStringLiteral("' OR 1=1 --"), QStringLiteral("JOS")}) {
            c.close();
            c.setParametro("NOME", typed);
            c.open();
            QCOMPARE(c.isEmpty(), typed.startsWith(u'\''));
        }
    }

    void insertGetsTheDatabaseKey()
    {
        Dataset& c = *dados->Cliente;
        c.setLinha(1, "WHERE ID > 0");
        c.afterPost = nullptr; // no re-open: the posted row itself must carry its key
        c.open();
        c.append();
        c["NOME"].setValue("ANA");
        c["MAE"].setValue("MARIA");
        c["SEXO"].setValue("F");
        c["CPF"].setValue("12345678909");
        c["ID"].setValue(999);
        c.post();
        QCOMPARE(c["ID"].asInteger(), 1);
        dados->TransFatura.commitRetaining();
        QCOMPARE(outside("select NOME from CLIENTE where ID = 1").toString(), QStringLiteral("ANA"));
    }

    void numericFormat_data()
    {
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("texto");
        QTest::newRow("under a kilo") << 0.45 << ",450";
        QTest::newRow("kilos") << 5.25 << "5,250";
        QTest::newRow("thousands") << 1234.5 << "1.234,500";
        QTest::newRow("millions") << 1234567.0 << "1.234.567,000";
        QTest::newRow("zero") << 0.0 << ",000";
    }
    void numericFormat()
    {
        QFETCH(double, valor);
        QFETCH(QString, texto);
        QCOMPARE(formataNumero("#,###.000", valor), texto);
    }
};

QTEST_GUILESS_MAIN(DadosCompartilhados)
#include "db_dados.moc"
