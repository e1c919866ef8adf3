// comedal-backup and comedal-restaure on a real database: a copy made, rows changed, the copy put
// back; what is refused leaves the database as it was.
#include "testdb.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Saida
{
    int codigo;
    QString texto;
};

Saida roda(const QString& banco, const QString& pasta, const QString& comando, const QStringList& args,
           const QByteArray& entrada = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("COMEDAL_BANCO"), banco);
    env.insert(QStringLiteral("COMEDAL_BACKUPS"), pasta);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(COMEDAL_SOURCE_DIR "/tools/") + comando, args);
    p.write(entrada);
    p.closeWriteChannel();
    if (!p.waitForFinished(240000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

// The test's own rows of PARAMETROS, in key order.
QString linhas(const TestDatabase& db)
{
    return db
        .valor(QStringLiteral("select list(CHAVE || '=' || VALOR, ';') from (select CHAVE, VALOR from PARAMETROS "
                              "where CHAVE starting with 'TESTE' order by CHAVE)"))
        .toString();
}

const char* const original = "TESTE1=um;TESTE2=dois";

void preenche(const TestDatabase& db)
{
    db.exec(QStringLiteral("insert into PARAMETROS (CHAVE, VALOR) values ('TESTE1', 'um');"
                           "insert into PARAMETROS (CHAVE, VALOR) values ('TESTE2', 'dois');"));
}

void altera(const TestDatabase& db)
{
    db.exec(QStringLiteral("delete from PARAMETROS where CHAVE = 'TESTE1';"
                           "update PARAMETROS set VALOR = 'mudou' where CHAVE = 'TESTE2';"
                           "insert into PARAMETROS (CHAVE, VALOR) values ('TESTE3', 'novo');"));
}

const char* const alterado = "TESTE2=mudou;TESTE3=novo";

QStringList copias(const QString& pasta, const QString& filtro = QStringLiteral("*.fbk"))
{
    return QDir(pasta).entryList({filtro}, QDir::Files, QDir::Name);
}
} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void copiaEDevolveAsLinhas()
    {
        TestDatabase db;
        QTemporaryDir pasta;
        preenche(db);
        const Saida copia = roda(db.settings().database, pasta.path(), QStringLiteral("comedal-backup"), {});
        QVERIFY2(copia.codigo == 0, qPrintable(copia.texto));
        QVERIFY2(copia.texto.contains(u"restaurada e conferida"), qPrintable(copia.texto));
        const QStringList feitas = copias(pasta.path());
        QCOMPARE(feitas.size(), 1);

        altera(db);
        QCOMPARE(linhas(db), QString::fromLatin1(alterado));
        const Saida volta = roda(db.settings().database, pasta.path(), QStringLiteral("comedal-restaure"),
                                 {pasta.filePath(feitas.first())}, "s\n");
        QVERIFY2(volta.codigo == 0, qPrintable(volta.texto));
        QCOMPARE(linhas(db), QString::fromLatin1(original));
        // What the restore replaced is kept too.
        QCOMPARE(copias(pasta.path(), QStringLiteral("*-antes-da-restauracao-*.fbk")).size(), 1);
    }

    void restauracaoRecusada_data()
    {
        QTest::addColumn<QByteArray>("resposta");
        QTest::addColumn<bool>("emUso");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("não confirmada") << QByteArray("n\n") << false << QStringLiteral("cancelada");
        QTest::newRow("sem resposta") << QByteArray() << false << QStringLiteral("cancelada");
        QTest::newRow("banco em uso") << QByteArray("s\n") << true << QStringLiteral("está em uso");
    }
    void restauracaoRecusada()
    {
        QFETCH(QByteArray, resposta);
        QFETCH(bool, emUso);
        QFETCH(QString, mensagem);
        TestDatabase db;
        QTemporaryDir pasta;
        preenche(db);
        QCOMPARE(roda(db.settings().database, pasta.path(), QStringLiteral("comedal-backup"), {}).codigo, 0);
        altera(db);
        // Another workstation with the program open.
        std::optional<fb::Attachment> estacao;
        if (emUso) estacao.emplace(db.attach());

        const Saida volta = roda(db.settings().database, pasta.path(), QStringLiteral("comedal-restaure"),
                                 {pasta.filePath(copias(pasta.path()).first())}, resposta);
        QVERIFY(volta.codigo != 0);
        QVERIFY2(volta.texto.contains(mensagem), qPrintable(volta.texto));
        QCOMPARE(linhas(db), QString::fromLatin1(alterado));
        if (estacao) estacao->detach();
    }

    void guardaAsUltimasCopias()
    {
        TestDatabase db;
        QTemporaryDir pasta;
        const QString nome = QFileInfo(db.settings().database.section(u':', 1)).completeBaseName();
        for (const char* dia : {"20200101", "20200102", "20200103"}) {
            QFile antiga(pasta.filePath(QStringLiteral("%1-%2-000000.fbk").arg(nome, QLatin1String(dia))));
            QVERIFY(antiga.open(QIODevice::WriteOnly));
        }
        const Saida copia = roda(db.settings().database, pasta.path(), QStringLiteral("comedal-backup"),
                                 {QStringLiteral("-n"), QStringLiteral("2")});
        QVERIFY2(copia.codigo == 0, qPrintable(copia.texto));
        const QStringList ficaram = copias(pasta.path());
        QCOMPARE(ficaram.size(), 2);
        QCOMPARE(ficaram.first(), nome + QStringLiteral("-20200103-000000.fbk"));
        QVERIFY(ficaram.last() > ficaram.first());
    }

    void bancoInacessivelNaoDeixaCopia()
    {
        TestDatabase db;
        QTemporaryDir pasta;
        const Saida copia = roda(db.settings().database + QStringLiteral(".naoexiste.fdb"), pasta.path(),
                                 QStringLiteral("comedal-backup"), {});
        QVERIFY(copia.codigo != 0);
        QVERIFY(QDir(pasta.path()).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "db_backup.moc"
