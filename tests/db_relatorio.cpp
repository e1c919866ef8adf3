// The daily meal figures against a real database: the hand-counted fixture through the query, the
// CSV and the comedal-relatorio command (local and central), and the date indexes the set-up adds
// to databases of the earlier scripts.
#include "fixturarelatorio.h"
#include "testdb.h"

#include "common/analiticodia.h"
#include "data/atualizacao.h"

#include <QProcess>
#include <QtTest>

using namespace fixtura;

namespace {

QStringList indicesDaRefeicao(const TestDatabase& db)
{
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    fb::Statement st(att, tra,
                     QStringLiteral("select trim(i.RDB$INDEX_NAME) || ':' || list(trim(s.RDB$FIELD_NAME), ',') from "
                                    "RDB$INDICES i join RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
                                    "where i.RDB$RELATION_NAME = 'REFEICAO' and i.RDB$INDEX_NAME not starting 'RDB$' "
                                    "group by i.RDB$INDEX_NAME order by 1"));
    st.execute();
    QStringList r;
    while (st.fetch())
        r << st.value(0).toString();
    return r;
}

QString todasAsRefeicoes(const TestDatabase& db)
{
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    fb::Statement st(att, tra, QStringLiteral("select * from REFEICAO order by ID"));
    st.execute();
    QString r;
    while (st.fetch())
        for (const QVariant& v : st.row())
            r += v.toString() + u'|';
    return r;
}

} // namespace

class TestRelatorio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void figurasDoPeriodo();
    void comando();
    void comandoCentral();
    void periodoLongoEmDuasMetades_data();
    void periodoLongoEmDuasMetades();
    void comandoRecusa_data();
    void comandoRecusa();
    void indicesNosBancosAnteriores_data();
    void indicesNosBancosAnteriores();
};

void TestRelatorio::figurasDoPeriodo()
{
    TestDatabase db;
    db.exec(QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('ANA PAULA', 'M', 'F', '%1');\n"
                           "insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('JOÃO', 'M', 'M', '%2');\n")
                .arg(A, B) +
            refeicoes());
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    const QList<FiguraDia> dias = analitico::porDia(att, tra, De, Ate);
    const FiguraDia total = analitico::total(att, tra, De, Ate);
    QCOMPARE(analitico::csv(dias, total), Esperado);
    QCOMPARE(dias.size(), 3);
    QCOMPARE(dias[2].data, QDate(2026, 12, 4));

    const QList<FiguraConsumidor> pessoas = analitico::porConsumidor(att, tra, De, Ate);
    QCOMPARE(pessoas.size(), 3);
    // C has no client record: the meals count, the name stays empty.
    const QList<std::tuple<QString, QString, qint64, qint64>> esperadas{
        {C, QString(), 2, 0}, {A, QStringLiteral("ANA PAULA"), 3, 1}, {B, QStringLiteral("JOÃO"), 3, 1}};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(std::make_tuple(pessoas[i].cpf, pessoas[i].nome, pessoas[i].refeicoes, pessoas[i].diasRepetidos),
                 esperadas[i]);
    QCOMPARE(analitico::cpfMascarado(A), QStringLiteral("***.456.789-**"));

    // A period without meals: no day lines, zero totals.
    const QDate vazio(2026, 12, 3);
    QCOMPARE(analitico::csv(analitico::porDia(att, tra, vazio, vazio), analitico::total(att, tra, vazio, vazio)),
             QStringLiteral("data;refeicoes;consumidores;peso_total;peso_medio\ntotal;0;0;0,000;0,000\n"));
}

void TestRelatorio::comando()
{
    TestDatabase db;
    db.exec(refeicoes());
    const Saida s = relatorio({QStringLiteral("--banco"), db.settings().database, QStringLiteral("01/12/2026"),
                               QStringLiteral("04/12/2026")});
    QCOMPARE(s.erro, QString());
    QCOMPARE(s.codigo, 0);
    QCOMPARE(s.texto, Esperado);
}

void TestRelatorio::comandoCentral()
{
    TestDatabase central(TestDatabase::Central);
    // The second restaurant only served on 2/12, both meals by A.
    central.exec(refeicoes(QStringLiteral("11444777000161")) +
                 refeicao(A, "2026-12-02", "11:00", "1.000", QStringLiteral("11222333000181")) +
                 refeicao(A, "2026-12-02", "12:00", "0.500", QStringLiteral("11222333000181")) +
                 refeicao(B, "2026-12-09", "12:00", "0.500", QStringLiteral("00000000000191")));
    const Saida s = relatorio({QStringLiteral("--central"), QStringLiteral("--banco"), central.settings().database,
                               QStringLiteral("01/12/2026"), QStringLiteral("04/12/2026")});
    QCOMPARE(s.erro, QString());
    QCOMPARE(s.codigo, 0);
    QCOMPARE(s.texto, QStringLiteral("cnpj;data;refeicoes;consumidores;peso_total;peso_medio\n"
                                     "11222333000181;02/12/2026;2;1;1,500;0,750\n"
                                     "11222333000181;total;2;1;1,500;0,750\n"
                                     "11444777000161;01/12/2026;4;3;1,734;0,434\n"
                                     "11444777000161;02/12/2026;2;2;0,500;0,250\n"
                                     "11444777000161;04/12/2026;2;1;0,701;0,351\n"
                                     "11444777000161;total;8;3;2,935;0,367\n"));
}

void TestRelatorio::periodoLongoEmDuasMetades_data()
{
    QTest::addColumn<bool>("central");
    QTest::newRow("local") << false;
    QTest::newRow("central") << true;
}

// A quarter is read in two halves at once (the later one from 15/02 on, on a second connection):
// A and B eat in both halves and twice on a day in either, and are still counted once.
void TestRelatorio::periodoLongoEmDuasMetades()
{
    QFETCH(bool, central);
    const QString cnpj = central ? QStringLiteral("11444777000161") : QString();
    TestDatabase db(central ? TestDatabase::Central : TestDatabase::Local);
    QString meals =
        refeicao(B, "2026-01-01", "12:00", "0.500", cnpj) + refeicao(A, "2026-02-14", "11:00", "0.300", cnpj) +
        refeicao(A, "2026-02-14", "18:00", "0.200", cnpj) + refeicao(A, "2026-02-15", "00:00", "0.400", cnpj) +
        refeicao(C, "2026-02-15", "12:00", "0.100", cnpj) + refeicao(B, "2026-03-31", "12:00", "0.250", cnpj) +
        refeicao(B, "2026-03-31", "23:59", "0.251", cnpj) + refeicao(A, "2026-04-01", "12:00", "0.999", cnpj);
    if (central) meals += refeicao(A, "2026-02-15", "12:00", "0.400", QStringLiteral("11222333000181"));
    db.exec(meals);
    QStringList args{QStringLiteral("--banco"), db.settings().database, QStringLiteral("01/01/2026"),
                     QStringLiteral("31/03/2026")};
    if (central) args.prepend(QStringLiteral("--central"));
    const Saida s = relatorio(args);
    QCOMPARE(s.erro, QString());
    QCOMPARE(s.codigo, 0);
    const QStringList dias{"01/01/2026;1;1;0,500;0,500", "14/02/2026;2;1;0,500;0,250", "15/02/2026;2;2;0,500;0,250",
                           "31/03/2026;2;1;0,501;0,251", "total;7;3;2,001;0,286"};
    if (!central) {
        QCOMPARE(s.texto,
                 QStringLiteral("data;refeicoes;consumidores;peso_total;peso_medio\n") + dias.join(u'\n') + u'\n');
        // The consumers of the same reading.
        fb::Attachment att = db.attach();
        fb::Transaction tra(att);
        const Analitico a =
            analitico::periodo(att, tra, QDate(2026, 1, 1), QDate(2026, 3, 31), false, [&db] { return db.attach(); });
        QCOMPARE(analitico::csv(a.dias, a.total), s.texto);
        QList<std::tuple<QString, qint64, qint64>> pessoas;
        for (const FiguraConsumidor& c : a.consumidores)
            pessoas << std::make_tuple(c.cpf, c.refeicoes, c.diasRepetidos);
        QCOMPARE(pessoas, (QList<std::tuple<QString, qint64, qint64>>{{C, 1, 0}, {A, 3, 1}, {B, 3, 1}}));
        return;
    }
    QString esperado = QStringLiteral("cnpj;data;refeicoes;consumidores;peso_total;peso_medio\n"
                                      "11222333000181;15/02/2026;1;1;0,400;0,400\n"
                                      "11222333000181;total;1;1;0,400;0,400\n");
    for (const QString& d : dias)
        esperado += cnpj + u';' + d + u'\n';
    QCOMPARE(s.texto, esperado);
}

void TestRelatorio::comandoRecusa_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mensagem");
    const QString banco = QStringLiteral("127.0.0.1/3050:/tmp/firebird/comedal-nao-existe.fdb");
    QTest::newRow("dia 31 de novembro") << QStringList{"--banco", banco, "31/11/2026", "04/12/2026"}
                                        << QStringLiteral("Data inválida: 31/11/2026");
    QTest::newRow("ano-mês-dia") << QStringList{"--banco", banco, "01/12/2026", "2026-12-04"}
                                 << QStringLiteral("Data inválida: 2026-12-04");
    QTest::newRow("invertido") << QStringList{"--banco", banco, "04/12/2026", "01/12/2026"}
                               << QStringLiteral("A data inicial 04/12/2026 é posterior à final 01/12/2026");
    QTest::newRow("uma data") << QStringList{"01/12/2026"} << QStringLiteral("uso: comedal-relatorio");
    QTest::newRow("banco inexistente") << QStringList{"--banco", banco, "01/12/2026", "04/12/2026"}
                                       << QStringLiteral("Não foi possível ler o banco ") + banco;
    QTest::newRow("servidor inalcançável")
        << QStringList{"--central", "--banco", "127.0.0.1/1:/tmp/x.fdb", "01/12/2026", "04/12/2026"}
        << QStringLiteral("Não foi possível ler o banco 127.0.0.1/1:/tmp/x.fdb");
}

void TestRelatorio::comandoRecusa()
{
    QFETCH(QStringList, args);
    QFETCH(QString, mensagem);
    const Saida s = relatorio(args);
    QVERIFY(s.codigo > 0);
    QVERIFY2(s.erro.startsWith(mensagem), qPrintable(s.erro));
    QCOMPARE(s.texto, QString());
}

void TestRelatorio::indicesNosBancosAnteriores_data()
{
    QTest::addColumn<QString>("esquema");
    QTest::addColumn<bool>("central");
    QTest::addColumn<QString>("indice");
    QTest::newRow("local") << QStringLiteral("tests/esquemas/local-1.0.sql") << false
                           << QStringLiteral("IX_REFEICAO_DATA:DATA");
    QTest::newRow("central") << QStringLiteral("tests/esquemas/central-1.0.sql") << true
                             << QStringLiteral("IX_REFEICAO_CNPJ_DATA:CNPJ,DATA");
}

void TestRelatorio::indicesNosBancosAnteriores()
{
    QFETCH(QString, esquema);
    QFETCH(bool, central);
    QFETCH(QString, indice);
    TestDatabase db(esquema);
    db.exec(refeicoes(central ? QStringLiteral("11444777000161") : QString()));
    QVERIFY(!indicesDaRefeicao(db).contains(indice));
    const QString antes = todasAsRefeicoes(db);
    const auto banco = central ? atualizacao::Banco::Central : atualizacao::Banco::Local;
    {
        fb::Attachment att = db.attach();
        QVERIFY(!atualizacao::aplica(att, banco).isEmpty());
        QVERIFY(atualizacao::aplica(att, banco).isEmpty());
    }
    QVERIFY2(indicesDaRefeicao(db).contains(indice), qPrintable(indicesDaRefeicao(db).join(u' ')));
    QCOMPARE(todasAsRefeicoes(db), antes);

    // A database of this version's scripts has the index already: the step is only recorded.
    TestDatabase nova(central ? TestDatabase::Central : TestDatabase::Local);
    const QStringList criados = indicesDaRefeicao(nova);
    QVERIFY(criados.contains(indice));
    fb::Attachment att = nova.attach();
    atualizacao::aplica(att, banco);
    QCOMPARE(indicesDaRefeicao(nova), criados);
}

QTEST_GUILESS_MAIN(TestRelatorio)
#include "db_relatorio.moc"
