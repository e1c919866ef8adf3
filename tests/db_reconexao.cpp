// The data module connects again after the server dropped its connection: every dataset that was
// open on it, the shared ones and those of the screens alike, goes on from where it stood, and one
// being written keeps what was typed and stores it once.
#include "data/arquivos.h"
#include "proxytcp.h"
#include "testdb.h"

#include <QtTest>

namespace {

enum class Situacao { ListaNoMeio, Alteracao, AlteracaoDesistida, Inclusao, AberturaFalhou };

} // namespace

Q_DECLARE_METATYPE(Situacao)

class Reconexao : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ProxyTcp> relay;
    std::unique_ptr<TDados> dados;

    int conta(const QString& sql) const { return db->valor(sql).toInt(); }

    // Asks the server through the module's connection until it notices the connection is gone.
    void perdeConexao()
    {
        relay->derruba();
        QVERIFY_THROWS_EXCEPTION(fb::Error, fb::generatorValue(dados->fatura, dados->TransFatura, "GEN_REFEICAO"));
        QVERIFY(dados->conexaoPerdida());
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        relay = std::make_unique<ProxyTcp>(db->serverPort());
        dados = std::make_unique<TDados>(db->throughPort(relay->porta()));
        // A hundred meals, keys 1 to 100.
        db->exec(QStringLiteral("SET TERM ^ ;\n"
                                "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN\n"
                                "  WHILE (I < 100) DO BEGIN\n"
                                "    INSERT INTO REFEICAO (CPF, DATA, HORA, PESO) "
                                "VALUES ('12345678909', '2026-12-10', '12:00', 0.5);\n"
                                "    I = I + 1;\n"
                                "  END\n"
                                "END^\n"
                                "SET TERM ; ^\n"));
    }
    void cleanup()
    {
        dados.reset();
        relay.reset();
        db.reset();
    }

    void datasetSegueDeOndeEstava_data()
    {
        QTest::addColumn<Situacao>("situacao");
        QTest::newRow("lista aberta no meio") << Situacao::ListaNoMeio;
        QTest::newRow("refeição em alteração, gravada na volta") << Situacao::Alteracao;
        QTest::newRow("refeição em alteração, desistida na volta") << Situacao::AlteracaoDesistida;
        QTest::newRow("refeição em inclusão, gravada na volta") << Situacao::Inclusao;
        QTest::newRow("abertura que falhou com a perda") << Situacao::AberturaFalhou;
    }

    void datasetSegueDeOndeEstava()
    {
        QFETCH(Situacao, situacao);
        // A screen's own dataset on the module's connection, as the meal screen has.
        Dataset tela(QStringLiteral("Refeicao"), &dados->fatura, &dados->TransFatura);
        tela.setSQL({QStringLiteral("select * from REFEICAO"), QStringLiteral("ORDER BY ID")});
        tela.setTabela(QStringLiteral("REFEICAO"), QStringLiteral("ID"), true, {QStringLiteral("ID")});
        tela.field(QStringLiteral("ID")).setRequired(false);
        // The shared meal list, newest first, read as far as a screenful.
        Dataset& lista = *dados->Refeicao;
        lista.open();
        lista.moveTo(9);

        tela.open();
        tela.moveTo(49);
        if (situacao == Situacao::Alteracao || situacao == Situacao::AlteracaoDesistida) {
            tela.edit();
            tela.field(QStringLiteral("OBSERVACAO")).setValue(QStringLiteral("SEM SAL"));
        } else if (situacao == Situacao::Inclusao) {
            tela.append();
            tela.field(QStringLiteral("CPF")).setValue(QStringLiteral("98765432100"));
            tela.field(QStringLiteral("DATA")).setValue(QDate(2026, 12, 11));
            tela.field(QStringLiteral("HORA")).setValue(QTime(13, 30));
            tela.field(QStringLiteral("PESO")).setValue(0.725);
        }

        perdeConexao();
        if (situacao == Situacao::ListaNoMeio) {
            QVERIFY_THROWS_EXCEPTION(fb::Error, tela.last());
        } else if (situacao == Situacao::AberturaFalhou) {
            tela.close();
            QVERIFY_THROWS_EXCEPTION(fb::Error, tela.open());
            QVERIFY(!tela.active());
        } else if (situacao != Situacao::AlteracaoDesistida) {
            QVERIFY_THROWS_EXCEPTION(fb::Error, tela.post());
        }
        QCOMPARE(conta(QStringLiteral("select count(*) from REFEICAO")), 100);

        relay->religa();
        dados->reconecta();
        QVERIFY(!dados->conexaoPerdida());

        // The shared list shows the same row and reads on to the last one.
        QCOMPARE(lista.state(), EstadoDataset::Browse);
        QCOMPARE(lista.recNo(), 9);
        QCOMPARE(lista.field(QStringLiteral("ID")).asInteger(), 91);
        lista.last();
        QCOMPARE(lista.recordCount(), 100);

        switch (situacao) {
        case Situacao::ListaNoMeio:
            QCOMPARE(tela.state(), EstadoDataset::Browse);
            QCOMPARE(tela.field(QStringLiteral("ID")).asInteger(), 50);
            tela.last();
            QCOMPARE(tela.recordCount(), 100);
            QCOMPARE(tela.field(QStringLiteral("ID")).asInteger(), 100);
            break;
        case Situacao::Alteracao:
            QCOMPARE(tela.state(), EstadoDataset::Edit);
            QCOMPARE(tela.field(QStringLiteral("OBSERVACAO")).asString(), QStringLiteral("SEM SAL"));
            tela.post();
            dados->TransFatura.commitRetaining();
            QCOMPARE(db->valor(QStringLiteral("select OBSERVACAO from REFEICAO where ID = 50")).toString(),
                     QStringLiteral("SEM SAL"));
            QCOMPARE(conta(QStringLiteral("select count(*) from REFEICAO where OBSERVACAO is not null")), 1);
            // Back to browsing, the rows are those of the new connection: it reads on to the end.
            QCOMPARE(tela.field(QStringLiteral("ID")).asInteger(), 50);
            tela.last();
            QCOMPARE(tela.recordCount(), 100);
            break;
        case Situacao::AlteracaoDesistida:
            QCOMPARE(tela.state(), EstadoDataset::Edit);
            tela.cancel();
            QCOMPARE(tela.field(QStringLiteral("ID")).asInteger(), 50);
            QVERIFY(tela.field(QStringLiteral("OBSERVACAO")).isNull());
            tela.last();
            QCOMPARE(tela.recordCount(), 100);
            QCOMPARE(conta(QStringLiteral("select count(*) from REFEICAO where OBSERVACAO is not null")), 0);
            break;
        case Situacao::Inclusao:
            QCOMPARE(tela.state(), EstadoDataset::Insert);
            tela.post();
            dados->TransFatura.commitRetaining();
            QCOMPARE(conta(QStringLiteral("select count(*) from REFEICAO")), 101);
            QCOMPARE(conta(QStringLiteral("select count(*) from REFEICAO where CPF = '98765432100' and PESO = 0.725 "
                                          "and DATA = '2026-12-11' and HORA = '13:30'")),
                     1);
            QCOMPARE(tela.chaveInserida().toInt(), 101);
            break;
        case Situacao::AberturaFalhou:
            QCOMPARE(tela.state(), EstadoDataset::Browse);
            QCOMPARE(tela.field(QStringLiteral("ID")).asInteger(), 1);
            break;
        }
    }

    void commitPerdidoComAConexao_data()
    {
        QTest::addColumn<bool>("commitChegou");
        QTest::newRow("o commit não chegou ao servidor") << false;
        QTest::newRow("o commit chegou, a resposta não") << true;
    }
    void commitPerdidoComAConexao()
    {
        // The connection goes between the insert and its commit: the meal stays typed on the screen
        // and, confirmed again once the server is back, is stored exactly once.
        QFETCH(bool, commitChegou);
        Dataset d(QStringLiteral("Refeicao"), &dados->fatura, &dados->TransFatura);
        d.setSQL(
            {QStringLiteral("select * from REFEICAO"), QStringLiteral("WHERE ID > 0"), QStringLiteral("ORDER BY ID")});
        d.setTabela(QStringLiteral("REFEICAO"), QStringLiteral("ID"));
        bool derrubar = true;
        d.afterPost = [&](Dataset& ds) {
            if (derrubar) {
                derrubar = false;
                if (commitChegou) dados->TransFatura.commitRetaining();
                relay->derruba();
            }
            dados->ProgramaAfterPost(ds);
        };
        d.open();
        d.append();
        d["CPF"].setValue(QStringLiteral("52998224725"));
        d["DATA"].setValue(QDate(2026, 12, 10));
        d["HORA"].setValue(QTime(12, 30));
        d["PESO"].setValue(0.675);
        QVERIFY_THROWS_EXCEPTION(fb::Error, d.post());
        QCOMPARE(d.state(), EstadoDataset::Insert);
        QCOMPARE(d["CPF"].asString(), QStringLiteral("52998224725"));
        QCOMPARE(d["PESO"].asFloat(), 0.675);

        relay->religa();
        dados->reconecta();
        d.post();
        QCOMPARE(d.state(), EstadoDataset::Browse);
        QCOMPARE(conta(QStringLiteral("select count(*) from REFEICAO where CPF = '52998224725'")), 1);
        QCOMPARE(d.chaveInserida(), db->valor(QStringLiteral("select ID from REFEICAO where CPF = '52998224725'")));
    }

    void servidorAindaAusente()
    {
        Dataset& lista = *dados->Refeicao;
        lista.open();
        perdeConexao();
        // Refused at once; the lost connection stays as it was, to be tried again.
        try {
            dados->reconecta();
            QFAIL("connected to a server that is away");
        } catch (const fb::Error& e) {
            QVERIFY2(e.isConnectionLost(), qPrintable(e.message()));
        }
        QVERIFY(dados->conexaoPerdida());
        QVERIFY_THROWS_EXCEPTION(fb::Error, lista.last());

        relay->religa();
        dados->reconecta();
        lista.last();
        QCOMPARE(lista.recordCount(), 100);
    }

    void fechadaPeloProgramaNaoEPerda()
    {
        dados->desconecta();
        QVERIFY(!dados->conexaoPerdida());
        dados->conecta();
        QVERIFY(!dados->conexaoPerdida());
        QCOMPARE(fb::generatorValue(dados->fatura, dados->TransFatura, "GEN_REFEICAO"), 100);
    }
};

QTEST_GUILESS_MAIN(Reconexao)
#include "db_reconexao.moc"
