// The Firebird layer against a real server: key assignment, exact values, limits, locking,
// commit-retaining and parameters.
#include "testdb.h"

#include <QDate>
#include <QtTest>

class FirebirdLayer : public QObject
{
    Q_OBJECT

private:
    static QVariant scalar(fb::Attachment& att, fb::Transaction& tra, const QString& sql)
    {
        fb::Statement s(att, tra, sql);
        s.execute();
        return s.fetch() ? s.value(0) : QVariant();
    }

private Q_SLOTS:
    void keyComesFromGeneratorEvenWhenGiven()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        auto insert = [&](const QVariant& id) {
            fb::Statement s(att, tra,
                            "insert into LOGUSUARIO (ID, USUARIO, SISTEMA, ENTRADA) values (:ID, 1, 'Comedal', "
                            "current_timestamp) returning ID");
            s.setParameter("ID", id);
            s.execute();
            return s.value(0).toLongLong();
        };
        QCOMPARE(insert(QVariant()), 1); // ID left empty: the next generator value
        QCOMPARE(fb::generatorValue(att, tra, "GEN_LOGUSUARIO"), 1);
        QCOMPARE(insert(2), 2); // the predicted key: stored as such, generator at it
        QCOMPARE(fb::generatorValue(att, tra, "GEN_LOGUSUARIO"), 2);
        QCOMPARE(insert(77), 3); // any other key sent is replaced
        QCOMPARE(fb::generatorValue(att, tra, "GEN_LOGUSUARIO"), 3);
    }

    void valuesRoundTripExactly()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        const QString text = QStringLiteral("O'Brien \"Zé\"; DROP TABLE CLIENTE; -- ação 😀\t%_");
        const QDate date(2026, 2, 28);
        const QTime time(13, 45, 7, 250);
        const QDateTime stamp(QDate(2026, 12, 31), QTime(23, 59, 58, 100));
        {
            fb::Statement s(att, tra,
                            "insert into REFEICAO (ID, CPF, DATA, HORA, PESO, OBSERVACAO, DATAUSER1) "
                            "values (:ID, :CPF, :DATA, :HORA, :PESO, :OBSERVACAO, :DATAUSER1)");
            s.setParameter("ID", 0);
            s.setParameter("CPF", "12345678909");
            s.setParameter("DATA", date);
            s.setParameter("HORA", time);
            s.setParameter("PESO", 0.450);
            s.setParameter("OBSERVACAO", text);
            s.setParameter("DATAUSER1", stamp);
            s.execute();
        }
        fb::Statement r(att, tra,
                        "select ID, DATA, HORA, PESO, OBSERVACAO, DATAUSER1, "
                        "cast(PESO as varchar(20)) from REFEICAO");
        r.execute();
        QVERIFY(r.fetch());
        QCOMPARE(r.value("ID").toDouble(), 1.0);
        QCOMPARE(r.value("DATA").toDate(), date);
        QCOMPARE(r.value("HORA").toTime(), time);
        QCOMPARE(r.value("PESO").toDouble(), 0.45);
        QCOMPARE(r.value(6).toString(), QStringLiteral("0.450"));
        QCOMPARE(r.value("OBSERVACAO").toString(), text);
        QCOMPARE(r.value("DATAUSER1").toDateTime(), stamp);
        QVERIFY(!r.fetch());
        QCOMPARE(scalar(att, tra, "select count(*) from CLIENTE").toInt(), 0); // the table survived

        // numeric types, CHAR padding and NULL
        fb::Statement u(att, tra,
                        "update USUARIOS set DEPARTAMENTO = :D, MATRICULA = :M, SEXO = :S, "
                        "TELEFONE = :T where ID = :ID");
        u.setParameter("D", 32767);
        u.setParameter("M", 2147483647);
        u.setParameter("S", "F");
        u.setParameter("T", QVariant());
        u.setParameter("ID", 1);
        u.execute();
        QCOMPARE(u.affectedRows(), 1u);
        fb::Statement q(att, tra, "select DEPARTAMENTO, MATRICULA, SEXO, TELEFONE from USUARIOS where ID = 1");
        q.execute();
        QVERIFY(q.fetch());
        QCOMPARE(q.value(0).toInt(), 32767);
        QCOMPARE(q.value(1).toInt(), 2147483647);
        QCOMPARE(q.value(2).toString(), QStringLiteral("F"));
        QVERIFY(!q.value(3).isValid());
        QCOMPARE(q.column(2).charLength, 1u);
    }

    void blobRoundTrips()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        QByteArray picture(100000, '\0');
        for (int i = 0; i < picture.size(); ++i)
            picture[i] = char(i * 7 % 256);
        fb::Statement u(att, tra, "update EMPRESAS set LOGO = :LOGO where ID = 1");
        u.setParameter("LOGO", picture);
        u.execute();
        QCOMPARE(scalar(att, tra, "select LOGO from EMPRESAS").toByteArray(), picture);
        u.setParameter("LOGO", QByteArray());
        u.execute();
        QCOMPARE(scalar(att, tra, "select LOGO from EMPRESAS").toByteArray(), QByteArray());
    }

    void textLimitsPerTable_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("limit");
        QTest::newRow("USUARIOS.IP1") << "update USUARIOS set IP1 = :V" << 20;
        QTest::newRow("EMPRESAS.IP1") << "update EMPRESAS set IP1 = :V" << 16;
        QTest::newRow("LOGUSUARIO.IP1") << "update LOGUSUARIO set IP1 = :V" << 16;
    }
    void textLimitsPerTable()
    {
        QFETCH(QString, sql);
        QFETCH(int, limit);
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        fb::Statement s(att, tra, sql);
        s.setParameter("V", QString(limit, u'9'));
        s.execute();
        s.setParameter("V", QString(limit + 1, u'9'));
        try {
            s.execute();
            QFAIL("a longer value was accepted");
        } catch (const fb::Error& e) {
            QVERIFY2(e.message().contains("truncation"), qPrintable(e.message()));
        }
    }

    void secondWriterFailsAtOnce()
    {
        TestDatabase db;
        fb::Attachment a1 = db.attach(), a2 = db.attach();
        fb::Transaction t1(a1), t2(a2);
        fb::Statement s1(a1, t1, "update EMPRESAS set FANTASIA = 'PRIMEIRO' where ID = 1");
        s1.execute();
        fb::Statement s2(a2, t2, "update EMPRESAS set FANTASIA = 'SEGUNDO' where ID = 1");
        QElapsedTimer timer;
        timer.start();
        try {
            s2.execute();
            QFAIL("the second writer was not refused");
        } catch (const fb::Error& e) {
            QVERIFY(e.isLockConflict());
            QVERIFY2(e.message().contains("update conflicts with concurrent update"), qPrintable(e.message()));
        }
        t1.commit();
        t2.rollbackRetaining();
        QCOMPARE(scalar(a2, t2, "select FANTASIA from EMPRESAS").toString(), QStringLiteral("PRIMEIRO"));
    }

    void commitRetainingKeepsCursorOpen()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        fb::Statement list(att, tra, "select ID from UNIDADEFEDERACAO order by ID");
        list.execute();
        QVERIFY(list.fetch());
        fb::Statement u(att, tra, "update EMPRESAS set FANTASIA = 'NOVO' where ID = 1");
        u.execute();
        tra.commitRetaining();
        QVERIFY(tra.isActive());
        QVERIFY(list.fetch());
        QCOMPARE(list.value(0).toInt(), 2);
        fb::Attachment other = db.attach();
        fb::Transaction ot(other);
        QCOMPARE(scalar(other, ot, "select FANTASIA from EMPRESAS").toString(), QStringLiteral("NOVO"));
    }

    void unreachableDatabaseReportsServerText()
    {
        fb::ConnectionSettings s{"127.0.0.1/3050:/tmp/firebird/does-not-exist.fdb", "SYSDBA", "masterkey"};
        try {
            fb::Attachment::attach(s);
            QFAIL("attached to a missing database");
        } catch (const fb::Error& e) {
            QVERIFY2(e.message().contains("does-not-exist.fdb"), qPrintable(e.message()));
        }
        s.database = "127.0.0.1/3999:/tmp/x.fdb";
        QVERIFY_THROWS_EXCEPTION(fb::Error, fb::Attachment::attach(s));
    }

    // An aggregate read in one exchange; a select of several rows is refused, not cut to one.
    void oneRowSelect()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        fb::Statement conta(att, tra, "select count(*), max(ID) from REFEICAO where CPF = :CPF");
        conta.setParameter("CPF", "12345678909");
        conta.executeOne();
        QCOMPARE(conta.value(0).toInt(), 0);
        QVERIFY(conta.value(1).isNull());
        fb::Statement ins(att, tra,
                          "insert into REFEICAO (CPF, DATA, HORA, PESO) values ('12345678909', '2026-12-10', '12:00', "
                          "0.5) returning ID");
        ins.execute();
        conta.executeOne();
        QCOMPARE(conta.value(0).toInt(), 1);
        QCOMPARE(conta.value(1), ins.value(0));
        fb::Statement varias(att, tra, "select RDB$RELATION_ID from RDB$RELATIONS");
        QVERIFY_THROWS_EXCEPTION(fb::Error, varias.executeOne());
    }

    // A row read without building its values: the columns straight from it.
    void rawRowAccessors()
    {
        TestDatabase db;
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        fb::Statement s(att, tra,
                        "select cast('2025-06-01' as date), cast('ab  ' as char(6)), cast('çã ' as varchar(10)), "
                        "cast(1.234 as numeric(9,3)), cast(-7 as integer), cast(null as integer) from RDB$DATABASE");
        s.execute();
        QVERIFY(s.fetchRaw());
        QCOMPARE(s.dayNumber(0), QDate(2025, 6, 1).toJulianDay());
        QCOMPARE(s.bytes(1), QByteArrayView("ab"));                // a fixed width loses its padding
        QCOMPARE(s.bytes(2), QByteArrayView("\xc3\xa7\xc3\xa3 ")); // a varying one keeps its own blanks
        QCOMPARE(s.unscaled(3), 1234);
        QCOMPARE(s.column(3).scale, -3);
        QCOMPARE(s.unscaled(4), -7);
        QVERIFY(!s.isNull(4));
        QVERIFY(s.isNull(5));
        QVERIFY_THROWS_EXCEPTION(fb::Error, s.unscaled(1));
        QVERIFY(!s.fetchRaw());
    }

    void namedParametersSkipLiteralsAndComments()
    {
        QStringList names;
        const QString out = fb::translateNamedParameters(
            "select ':A' || \":B\" from T -- :C\n where X = :ID /* :D */ and Y = :old_id and Z = :ID", names);
        QCOMPARE(out, QStringLiteral("select ':A' || \":B\" from T -- :C\n where X = ? /* :D */ and Y = ? and Z = ?"));
        QCOMPARE(names, QStringList({"ID", "OLD_ID", "ID"}));
    }
};

QTEST_GUILESS_MAIN(FirebirdLayer)
#include "db_firebird.moc"
