// A program left open for days lets both servers clean up: the oldest snapshot of the local
// database, read through a connection of its own, moves on while the data module works, and the
// export's central transaction lives only while a run goes. After a renewal the screens show the
// rows they showed, a long meal list at the same row.
#include "testdb.h"

#include "common/dialogos.h"
#include "common/sessao.h"
#include "common/ui/dbgrid.h"
#include "data/arquivos.h"
#include "weighing/xSincronizar.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

const QString Cnpj = QStringLiteral("11444777000161");

qint64 snapshotMaisAntigo(const TestDatabase& db)
{
    return db.valor(QStringLiteral("select MON$OLDEST_SNAPSHOT from MON$DATABASE")).toLongLong();
}

// The number of the transaction the statement runs in.
qint64 numeroTransacao(fb::Attachment& att, fb::Transaction& tra)
{
    fb::Statement st(att, tra, QStringLiteral("select current_transaction from rdb$database"));
    st.execute();
    st.fetch();
    return st.value(0).toLongLong();
}

void refeicoes(const TestDatabase& db, int n)
{
    db.exec(QStringLiteral("SET TERM ^ ;\n"
                           "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN\n"
                           "  WHILE (I < %1) DO BEGIN\n"
                           "    INSERT INTO REFEICAO (CPF, DATA, HORA, PESO) "
                           "VALUES ('12345678909', '2026-12-10', '12:00', 0.5);\n"
                           "    I = I + 1;\n"
                           "  END\n"
                           "END^\n"
                           "SET TERM ; ^\n")
                .arg(n));
}

// Posts a meal through the shared list and walks it, as the counter does.
void trabalha(TDados& dados)
{
    Dataset& r = *dados.Refeicao;
    if (!r.active()) {
        r.setTabela(QStringLiteral("REFEICAO"), QStringLiteral("ID"));
        r.field(QStringLiteral("ID")).setRequired(false);
        r.open();
    }
    r.append();
    r.field(QStringLiteral("CPF")).setValue(QStringLiteral("12345678909"));
    r.field(QStringLiteral("DATA")).setValue(QDate(2026, 12, 10));
    r.field(QStringLiteral("HORA")).setValue(QTime(12, 30));
    r.field(QStringLiteral("PESO")).setValue(0.45);
    r.post();
    r.last();
    r.first();
}

} // namespace

class TestRenovacao : public QObject
{
    Q_OBJECT

    DialogosRoteirizados caixas_;
    Dialogos* anterior_ = nullptr;

private Q_SLOTS:
    void initTestCase() { anterior_ = defineDialogos(&caixas_); }
    void cleanupTestCase() { defineDialogos(anterior_); }

    void snapshotLocalAvanca()
    {
        TestDatabase db;
        TDados dados(db.settings());
        const qint64 inicio = numeroTransacao(dados.fatura, dados.TransFatura);

        // Commit-retaining only: the module's transaction keeps the oldest snapshot where it started.
        for (int i = 0; i < 3; ++i) {
            trabalha(dados);
            db.exec(QStringLiteral("update EMPRESAS set FANTASIA = FANTASIA"));
        }
        const qint64 semRenovar = snapshotMaisAntigo(db);
        QVERIFY2(semRenovar <= inicio, qPrintable(QStringLiteral("%1 > %2").arg(semRenovar).arg(inicio)));

        QVERIFY(dados.renovaTransacao());
        const qint64 renovada = numeroTransacao(dados.fatura, dados.TransFatura);
        trabalha(dados);
        const qint64 depois = snapshotMaisAntigo(db);
        QVERIFY2(depois >= renovada && depois > inicio, qPrintable(QStringLiteral("%1 %2").arg(depois).arg(renovada)));

        // On its own while the program is used; a meal being typed keeps it waiting, and it
        // follows once the meal is stored.
        dados.setIntervaloRenovacao(50);
        dados.Refeicao->append();
        dados.Refeicao->field(QStringLiteral("PESO")).setValue(0.3);
        db.exec(QStringLiteral("update EMPRESAS set FANTASIA = FANTASIA"));
        const qint64 ocupado = numeroTransacao(dados.fatura, dados.TransFatura);
        QTest::qWait(300);
        QCOMPARE(dados.Refeicao->state(), EstadoDataset::Insert);
        QCOMPARE(dados.Refeicao->field(QStringLiteral("PESO")).asFloat(), 0.3);
        QVERIFY(snapshotMaisAntigo(db) <= ocupado);
        dados.Refeicao->cancel();
        QTRY_VERIFY(snapshotMaisAntigo(db) > ocupado);
        qInfo("local: oldest snapshot %lld while only committing retaining (transaction %lld started at %lld); "
              "%lld after a renewal; %lld with the timer",
              semRenovar, numeroTransacao(dados.fatura, dados.TransFatura), inicio, depois, snapshotMaisAntigo(db));
    }

    // Every dataset open on the module reads its rows again on the row it showed, the screen's
    // grid on the same row, scrolled as it was; one closed stays closed.
    void telasMostramOMesmo()
    {
        TestDatabase db;
        refeicoes(db, 3000);
        TDados dados(db.settings());
        Dataset propria(QStringLiteral("Propria"), &dados.fatura, &dados.TransFatura);
        propria.setSQL({QStringLiteral("select * from REFEICAO"), QStringLiteral("ORDER BY ID")});
        propria.open();
        propria.moveTo(41);
        dados.Refeicao->open();
        DBGrid grade;
        grade.adicionaColuna(QStringLiteral("ID"), QStringLiteral("ID"), 70);
        grade.liga(dados.Refeicao);
        grade.resize(400, 300);
        grade.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grade));
        dados.Refeicao->moveTo(2500);
        QApplication::processEvents();
        const QVariant id = dados.Refeicao->value(QStringLiteral("ID"));
        const int rolagem = grade.verticalScrollBar()->value();
        const QVariant idPropria = propria.value(QStringLiteral("ID"));
        // Another counter stores a meal meanwhile: it comes first in the list, the row shown stays.
        refeicoes(db, 1);

        QVERIFY(dados.renovaTransacao());
        QApplication::processEvents();
        QCOMPARE(dados.Refeicao->value(QStringLiteral("ID")), id);
        QCOMPARE(grade.currentIndex().row(), dados.Refeicao->recNo());
        QVERIFY(qAbs(grade.verticalScrollBar()->value() - rolagem) <= 1);
        QCOMPARE(propria.value(QStringLiteral("ID")), idPropria);
        QCOMPARE(propria.recNo(), 41);
        QVERIFY(!dados.Cliente->active());
        // The list goes on reading from the server.
        dados.Refeicao->last();
        QCOMPARE(dados.Refeicao->recordCount(), 3001);
    }

    // The export screen holds nothing at the central server while it waits; a run starts the
    // central transaction and commits it when it ends, whatever way it ends.
    void transacaoCentralSoDuranteAExportacao()
    {
        TestDatabase local;
        TestDatabase central{TestDatabase::Central};
        local.exec(QStringLiteral("update EMPRESAS set CNPJ = '%1'").arg(Cnpj));
        refeicoes(local, 20);
        TDados dados(local.settings());
        TSincronizar tela(central.settings());
        bool ativaNaExportacao = false;
        tela.criaProgresso = [&](QWidget*) {
            ativaNaExportacao = tela.TransExterno.isActive();
            return std::unique_ptr<ProgressoExportacao>();
        };
        auto sincroniza = [&] { tela.findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->click(); };

        const qint64 aberta =
            central.valor(QStringLiteral("select current_transaction from rdb$database")).toLongLong();
        QVERIFY(!tela.TransExterno.isActive());
        const qint64 ociosa = snapshotMaisAntigo(central);
        QVERIFY2(ociosa > aberta, qPrintable(QStringLiteral("%1 <= %2").arg(ociosa).arg(aberta)));

        sincroniza();
        QVERIFY(ativaNaExportacao);
        QCOMPARE(caixas_.textos().last(), QStringLiteral("Exportado 20 registros"));
        QVERIFY(!tela.TransExterno.isActive());
        QCOMPARE(central.valor(QStringLiteral("select count(*) from REFEICAO")).toInt(), 20);
        const qint64 exportou =
            central.valor(QStringLiteral("select current_transaction from rdb$database")).toLongLong();
        const qint64 depois = snapshotMaisAntigo(central);
        QVERIFY2(depois > exportou, qPrintable(QStringLiteral("%1 <= %2").arg(depois).arg(exportou)));

        // A run that fails (the placeholder company) ends it too.
        local.exec(QStringLiteral("update EMPRESAS set CNPJ = '11222333000181'"));
        dados.Empresas->close();
        sincroniza();
        QVERIFY(!tela.TransExterno.isActive());
        qInfo("central: oldest snapshot %lld with the screen idle (after transaction %lld), %lld after a run "
              "(after transaction %lld)",
              ociosa, aberta, depois, exportou);
    }
};

QTEST_MAIN(TestRenovacao)
#include "gui_renovacao.moc"
