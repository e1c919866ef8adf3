// Schema upgrades on databases made by the earlier scripts: every stored row kept as it was, each
// step recorded, a second run changing nothing; then the export works against the result.
#include "testdb.h"

#include "common/sessao.h"
#include "data/atualizacao.h"
#include "weighing/xSincronizar.h"

#include <QtTest>

namespace {

const QString Cnpj = QStringLiteral("11444777000161");
const QString EsquemaAnterior = QStringLiteral("tests/esquemas/central-1.0.sql");

QList<QVariantList> linhas(const TestDatabase& db, const QString& sql)
{
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    fb::Statement st(att, tra, sql);
    st.execute();
    QList<QVariantList> r;
    while (st.fetch())
        r << QVariantList(st.row().begin(), st.row().end());
    return r;
}

// Index name -> "UNIQUE col1,col2" or "col1,col2", for the central REFEICAO.
QMap<QString, QString> indices(const TestDatabase& db)
{
    QMap<QString, QStringList> campos;
    QMap<QString, bool> unico;
    for (const QVariantList& l :
         linhas(db, QStringLiteral("select trim(i.RDB$INDEX_NAME), coalesce(i.RDB$UNIQUE_FLAG, 0), "
                                   "trim(s.RDB$FIELD_NAME) from RDB$INDICES i join RDB$INDEX_SEGMENTS s "
                                   "on s.RDB$INDEX_NAME = i.RDB$INDEX_NAME where i.RDB$RELATION_NAME = 'REFEICAO' "
                                   "and i.RDB$INDEX_NAME not starting 'RDB$' order by 1, s.RDB$FIELD_POSITION"))) {
        campos[l[0].toString()] << l[2].toString();
        unico[l[0].toString()] = l[1].toInt() == 1;
    }
    QMap<QString, QString> r;
    for (auto it = campos.begin(); it != campos.end(); ++it)
        r[it.key()] = (unico[it.key()] ? QStringLiteral("UNIQUE ") : QString()) + it.value().join(u',');
    return r;
}

// Central rows as an earlier version stored them: meals 1 to 3 of one restaurant.
void linhasAntigas(const TestDatabase& central, bool repetida = false)
{
    QString sql;
    for (int id = 1; id <= 3; ++id)
        sql += QStringLiteral("insert into REFEICAO (CNPJ, IDEXTERNO, CPF, DATA, HORA, PESO, USER1, DATAUSER1) values "
                              "('%1', %2, '12345678909', '2025-06-0%2', '12:00', 0.%2, 1, '2025-06-0%2 12:00:0%2');\n")
                   .arg(Cnpj)
                   .arg(id);
    // A meal an earlier version without any check stored twice.
    if (repetida)
        sql += QStringLiteral("insert into REFEICAO (CNPJ, IDEXTERNO, CPF, DATA, HORA, PESO, USER1, DATAUSER1) values "
                              "('%1', 2, '12345678909', '2025-06-02', '12:00', 0.2, 1, '2025-06-02 12:00:02');\n")
                   .arg(Cnpj);
    central.exec(sql);
}

const QString TodasAsLinhas = QStringLiteral("select ID, CNPJ, IDEXTERNO, CPF, DATA, HORA, PESO, USER1, DATAUSER1 "
                                             "from REFEICAO order by ID");

} // namespace

class TestAtualizacao : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void centralAnterior();
    void centralSemIndiceComRepetidas();
    void bancosNovos();
    void localAnterior();
};

void TestAtualizacao::localAnterior()
{
    // A local database of the previous scripts, clients stored with identities in either case.
    TestDatabase local(QStringLiteral("tests/esquemas/local-1.0.sql"));
    const QString semIndice =
        QStringLiteral("select count(*) from RDB$INDICES where RDB$INDEX_NAME = 'IX_CLIENTE_IDENTIDADE_UPPER' and "
                       "RDB$RELATION_NAME = 'CLIENTE' and RDB$EXPRESSION_SOURCE containing 'UPPER(IDENTIDADE)'");
    QCOMPARE(local.valor(semIndice).toInt(), 0);
    local.exec(QStringLiteral(
        "insert into CLIENTE (NOME, MAE, CPF, SEXO, IDENTIDADE) values ('LUCIA MOTA', 'RITA', '11111111111', 'F', "
        "'mg-12.345.678');\n"
        "insert into CLIENTE (NOME, MAE, CPF, SEXO, IDENTIDADE) values ('ANA SILVA', 'RITA', '22222222222', 'F', "
        "'MG-2');\n"
        "insert into CLIENTE (NOME, MAE, CPF, SEXO) values ('JOSE SOUZA', 'RITA', '33333333333', 'M');\n"));
    const QString todos = QStringLiteral("select ID, NOME, MAE, CPF, SEXO, IDENTIDADE from CLIENTE order by ID");
    const auto antes = linhas(local, todos);
    {
        fb::Attachment att = local.attach();
        QList<int> feitos;
        for (const atualizacao::Passo& p : atualizacao::aplica(att, atualizacao::Banco::Local))
            feitos << p.numero;
        QCOMPARE(feitos, (QList<int>{2, 5}));
        QVERIFY(atualizacao::aplica(att, atualizacao::Banco::Local).isEmpty());
    }
    QCOMPARE(linhas(local, todos), antes);
    QCOMPARE(local.valor(semIndice).toInt(), 1);
    // The index answers a comparison of the upper-case identity.
    QCOMPARE(local
                 .valor(QStringLiteral("select NOME from CLIENTE P where UPPER(P.IDENTIDADE) = 'MG-12.345.678' "
                                       "PLAN (P INDEX (IX_CLIENTE_IDENTIDADE_UPPER))"))
                 .toString(),
             QStringLiteral("LUCIA MOTA"));
}

void TestAtualizacao::centralAnterior()
{
    TestDatabase central(EsquemaAnterior);
    QCOMPARE(indices(central).value("UX_REFEICAO_ORIGEM"), QStringLiteral("UNIQUE CNPJ,IDEXTERNO"));
    linhasAntigas(central);
    const auto antes = linhas(central, TodasAsLinhas);

    {
        fb::Attachment att = central.attach();
        const QList<atualizacao::Passo> feitos = atualizacao::aplica(att, atualizacao::Banco::Central);
        QCOMPARE(feitos.size(), 3);
        QCOMPARE(feitos[0].numero, 1);
        QVERIFY(feitos[0].aviso.isEmpty());
        // Again: recorded, nothing to do.
        QVERIFY(atualizacao::aplica(att, atualizacao::Banco::Central).isEmpty());
        QCOMPARE(atualizacao::aplicados(att), (QList<int>{1, 3, 4}));
    }
    QCOMPARE(linhas(central, TodasAsLinhas), antes);
    const auto idx = indices(central);
    QCOMPARE(idx.value("IX_REFEICAO_CNPJ_DATA"), QStringLiteral("CNPJ,DATA"));
    QCOMPARE(idx.value("IX_REFEICAO_DATA"), QStringLiteral("DATA"));
    QVERIFY(!idx.contains("UX_REFEICAO_ORIGEM"));
    QCOMPARE(idx.value("UX_REFEICAO_IDENTIDADE"), QStringLiteral("UNIQUE CNPJ,IDEXTERNO,DATAUSER1"));

    // The restaurant's local database made again: its keys start at 1 again. Its meals are stored
    // beside the old ones, which stay as they were.
    TestDatabase local(TestDatabase::Local);
    local.exec(QStringLiteral("update EMPRESAS set CNPJ = '%1';\n"
                              "insert into REFEICAO (CPF, DATA, HORA, PESO, USER1, DATAUSER1) values "
                              "('52998224725', '2026-12-01', '11:00', 0.5, 1, '2026-12-01 11:00:00');\n"
                              "insert into REFEICAO (CPF, DATA, HORA, PESO, USER1, DATAUSER1) values "
                              "('52998224725', '2026-12-01', '11:05', 0.6, 1, '2026-12-01 11:05:00');\n")
                   .arg(Cnpj));
    fb::Attachment l = local.attach(), c = central.attach();
    ExportacaoRefeicoes exportacao(l, c);
    const ExportacaoRefeicoes::Resultado r = exportacao.executa(Cnpj);
    QCOMPARE(r.erro, QString());
    QCOMPARE(r.exportadas, 2);
    const auto depois = linhas(central, TodasAsLinhas);
    QCOMPARE(depois.size(), 5);
    QCOMPARE(depois.mid(0, 3), antes);
    QCOMPARE(depois[3][2].toDouble(), 2.0); // newest first
    QCOMPARE(depois[4][2].toDouble(), 1.0);
    QCOMPARE(depois[4][3].toString(), QStringLiteral("52998224725"));
}

void TestAtualizacao::centralSemIndiceComRepetidas()
{
    // A central database of a version that checked nothing: the same meal twice.
    TestDatabase central(EsquemaAnterior);
    central.exec(QStringLiteral("drop index UX_REFEICAO_ORIGEM;"));
    linhasAntigas(central, true);
    const auto antes = linhas(central, TodasAsLinhas);

    fb::Attachment att = central.attach();
    const QList<atualizacao::Passo> feitos = atualizacao::aplica(att, atualizacao::Banco::Central);
    QCOMPARE(feitos.size(), 3);
    QVERIFY2(
        feitos[0].aviso.startsWith(QStringLiteral("O banco central tem 1 refeição guardada mais de uma vez (2 linhas")),
        qPrintable(feitos[0].aviso));
    att.detach();
    QCOMPARE(linhas(central, TodasAsLinhas), antes);
    QCOMPARE(indices(central).value("IX_REFEICAO_IDENTIDADE"), QStringLiteral("CNPJ,IDEXTERNO,DATAUSER1"));
}

void TestAtualizacao::bancosNovos()
{
    // Made by this version's scripts: the step finds its index there and is only recorded.
    TestDatabase central(TestDatabase::Central), local(TestDatabase::Local);
    fb::Attachment c = central.attach(), l = local.attach();
    const auto indicesCentrais = indices(central);
    QCOMPARE(atualizacao::aplica(c, atualizacao::Banco::Central).size(), 3);
    QCOMPARE(indices(central), indicesCentrais);
    QCOMPARE(indicesCentrais.value("UX_REFEICAO_IDENTIDADE"), QStringLiteral("UNIQUE CNPJ,IDEXTERNO,DATAUSER1"));
    QCOMPARE(indicesCentrais.value("IX_REFEICAO_DATA"), QStringLiteral("DATA"));
    QCOMPARE(atualizacao::aplica(l, atualizacao::Banco::Local).size(), 2);
    QCOMPARE(atualizacao::aplicados(l), (QList<int>{2, 5}));
    QVERIFY(local.valor(QStringLiteral("select count(*) from ATUALIZACOES")).isValid());
}

QTEST_GUILESS_MAIN(TestAtualizacao)
#include "db_atualizacao.moc"
