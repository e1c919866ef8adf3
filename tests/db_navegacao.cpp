// Record navigation against a real meal table: the clause texts, the moves at the ends and over
// gaps, and the key prediction.
#include "common/dialogos.h"
#include "common/navegacao.h"
#include "data/arquivos.h"
#include "testdb.h"

#include <QtTest>

namespace {
const QString kPrimeiro = QStringLiteral("Atenção você já está no primeiro registro da tabela");
const QString kUltimo = QStringLiteral("Atenção você já está no ultimo registro da tabela");
} // namespace

class Navegacao : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;
    std::unique_ptr<Dataset> refeicao;
    DialogosRoteirizados caixas;

    // Meals with exactly these keys; the generator ends at `gerador` (default: the last key).
    void comChaves(const QList<int>& chaves, int gerador = -1)
    {
        QString script;
        for (int k : chaves)
            script += QStringLiteral("SET GENERATOR GEN_REFEICAO TO %1;\n"
                                     "INSERT INTO REFEICAO (CPF, DATA, HORA, PESO) VALUES ('1', '2026-01-01', "
                                     "'12:00', 1);\n")
                          .arg(k - 1);
        if (gerador >= 0) script += QStringLiteral("SET GENERATOR GEN_REFEICAO TO %1;\n").arg(gerador);
        db->exec(script);
    }
    double atual() const { return refeicao->isEmpty() ? 0 : refeicao->field("ID").asFloat(); }
    void move(int atitude) { MovimentaRegistro("ID", "GEN_REFEICAO", *refeicao, atitude, 1); }
    void vaiPara(int chave)
    {
        refeicao->close();
        refeicao->setLinha(1, QStringLiteral("WHERE ID = %1").arg(chave));
        refeicao->open();
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        dados = std::make_unique<TDados>(db->settings());
        refeicao = std::make_unique<Dataset>("Refeicao", &dados->fatura, &dados->TransFatura);
        refeicao->setSQL({"select * from REFEICAO", "WHERE ID>0", "ORDER BY ID DESC"});
        refeicao->refreshSQL = "select * from REFEICAO where ID = :ID";
        caixas.limpa();
        defineDialogos(&caixas);
    }
    void cleanup()
    {
        defineDialogos(nullptr);
        refeicao.reset();
        dados.reset();
        db.reset();
    }

    void clauseTexts()
    {
        QCOMPARE(MinimoRegistro("ID", "Refeicao"), QStringLiteral("WHERE ID = ( SELECT MIN( ID ) FROM Refeicao)"));
        QCOMPARE(AnteriorxRegistro("ID", "Refeicao", "57"), QStringLiteral("WHERE ID = 56"));
        QCOMPARE(AnteriorRegistro("ID", "Refeicao", "57", 3000),
                 QStringLiteral("Where ID=(SELECT MAX(ID) FROM Refeicao WHERE (ID >(57 - 3000)) AND (ID<57))"));
        QCOMPARE(ProximoRegistro("ID", "Cliente", "8"),
                 QStringLiteral("Where ID = ( SELECT MIN( ID ) FROM Cliente WHERE ID > 8)"));
        QCOMPARE(MaximoxRegistro("ID", "Cliente", "GEN_CLIENTE"),
                 QStringLiteral("WHERE ID = ( SELECT GEN_ID( GEN_CLIENTE, 0 ) FROM RDB$DATABASE )"));
        // nothing but names and whole numbers can reach a clause
        QVERIFY_THROWS_EXCEPTION(fb::Error, ProximoRegistro("ID", "Cliente", "1 OR 1=1"));
        QVERIFY_THROWS_EXCEPTION(fb::Error, MinimoRegistro("ID", "Cliente; DROP TABLE CLIENTE"));
    }

    void emptyTable()
    {
        refeicao->open();
        for (int atitude : {1, 4}) {
            move(atitude);
            QVERIFY(refeicao->isEmpty());
        }
        QVERIFY(caixas.textos().isEmpty());
        move(2);
        QVERIFY(refeicao->isEmpty());
        move(3);
        QVERIFY(refeicao->isEmpty());
        QCOMPARE(caixas.textos(), QStringList({kPrimeiro, kUltimo}));
    }

    void movesOverKeysAndGaps_data()
    {
        QTest::addColumn<QList<int>>("chaves");
        QTest::addColumn<int>("gerador");
        QTest::addColumn<int>("de");
        QTest::addColumn<int>("atitude");
        QTest::addColumn<int>("para");
        QTest::addColumn<QString>("aviso");
        QTest::newRow("first") << QList<int>{3, 7, 9} << -1 << 9 << 1 << 3 << QString();
        QTest::newRow("previous next to it") << QList<int>{1, 2, 4} << -1 << 2 << 2 << 1 << QString();
        QTest::newRow("previous over a small gap") << QList<int>{1, 2, 4} << -1 << 4 << 2 << 2 << QString();
        QTest::newRow("previous over a gap wider than the window")
            << QList<int>{10, 11, 5000} << -1 << 5000 << 2 << 5000 << kPrimeiro;
        QTest::newRow("previous on the first") << QList<int>{5, 6} << -1 << 5 << 2 << 5 << kPrimeiro;
        QTest::newRow("next") << QList<int>{10, 11, 5000} << -1 << 11 << 3 << 5000 << QString();
        QTest::newRow("next on the highest") << QList<int>{10, 11, 5000} << -1 << 5000 << 3 << 5000 << kUltimo;
        QTest::newRow("last") << QList<int>{1, 2, 4} << -1 << 1 << 4 << 4 << QString();
        QTest::newRow("last with the generator's row missing")
            << QList<int>{100, 118} << 120 << 100 << 4 << 118 << QString();
    }
    void movesOverKeysAndGaps()
    {
        QFETCH(QList<int>, chaves);
        QFETCH(int, gerador);
        QFETCH(int, de);
        QFETCH(int, atitude);
        QFETCH(int, para);
        QFETCH(QString, aviso);
        comChaves(chaves, gerador);
        vaiPara(de);
        move(atitude);
        QCOMPARE(refeicao->recordCount(), 1);
        QCOMPARE(atual(), double(para));
        QCOMPARE(caixas.textos(), aviso.isEmpty() ? QStringList() : QStringList{aviso});
        QCOMPARE(caixas.caixas().isEmpty() ? TipoCaixa::Aviso : caixas.caixas().first().tipo, TipoCaixa::Aviso);
    }

    void lastWithNothingNearTheGenerator()
    {
        comChaves({5}, 9000); // nothing in the 2999 keys below 9000
        vaiPara(5);
        move(4);
        QVERIFY(refeicao->isEmpty());
        QCOMPARE(refeicao->linha(1), QStringLiteral("WHERE ID = 0"));
    }

    void predictionDoesNotAdvanceTheGenerator()
    {
        db->exec("SET GENERATOR GEN_LOGUSUARIO TO 41;");
        QCOMPARE(CalcUltimoRegistro("GEN_LOGUSUARIO"), 42.0);
        QCOMPARE(CalcUltimoRegistro("GEN_LOGUSUARIO"), 42.0);
        QCOMPARE(fb::generatorValue(dados->fatura, dados->TransFatura, "GEN_LOGUSUARIO"), 41);
        QVERIFY(!dados->UltimoRegistro->active());
    }
};

QTEST_GUILESS_MAIN(Navegacao)
#include "db_navegacao.moc"
