// The meal export between two real databases: the screen offscreen with the scripted dialogs
// service and a scripted progress display, and a crash test that kills an export running in a
// process of its own (this program, started again with "--exportar").
#include "proxytcp.h"
#include "testdb.h"
#include "vigia.h"

#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "common/ui/dbgrid.h"
#include "common/ui/relatorioerro.h"
#include "data/arquivos.h"
#include "data/conexao.h"
#include "weighing/xCupon.h" // xPessagem.h keeps a QPointer<TCupom>
#include "weighing/xPessagem.h"
#include "weighing/xSincronizar.h"

#include <QApplication>
#include <QHeaderView>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <QtTest>

#include <cstdio>

namespace {

const QDateTime Momento(QDate(2026, 3, 20), QTime(15, 30, 0));
// The restaurant's own company: the export refuses the placeholder a new database carries.
const QString Cnpj = QStringLiteral("11444777000161");

void empresaReal(const TestDatabase& local, const QString& cnpj = Cnpj);

using Lotes = QList<QPair<qint64, qint64>>; // sent, pending after each batch

// What the run told its progress display; stops the run after pararApos batches.
struct RegistroProgresso
{
    QList<qint64> inicios;
    Lotes lotes;
    int fins = 0;
    int pararApos = -1;
};

class ProgressoRoteirizado : public ProgressoExportacao
{
public:
    explicit ProgressoRoteirizado(RegistroProgresso& r) : r_(r) {}
    void inicio(qint64 pendentes) override { r_.inicios << pendentes; }
    bool lote(qint64 enviadas, qint64 pendentes) override
    {
        r_.lotes.append({enviadas, pendentes});
        return r_.pararApos < 0 || r_.lotes.size() < r_.pararApos;
    }
    void fim() override { ++r_.fins; }

private:
    RegistroProgresso& r_;
};

// Runs statements on a connection of its own, committed.
void executa(const TestDatabase& db, const QString& sql, const QVariantMap& parametros = {})
{
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    fb::Statement st(att, tra, sql);
    for (auto it = parametros.begin(); it != parametros.end(); ++it)
        st.setParameter(it.key(), it.value());
    st.execute();
    tra.commit();
}

void empresaReal(const TestDatabase& local, const QString& cnpj)
{
    executa(local, QStringLiteral("update EMPRESAS set CNPJ = :CNPJ"), {{"CNPJ", cnpj}});
}

QList<QVariantList> consulta(const TestDatabase& db, const QString& sql, const QVariantMap& parametros = {})
{
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    fb::Statement st(att, tra, sql);
    for (auto it = parametros.begin(); it != parametros.end(); ++it)
        st.setParameter(it.key(), it.value());
    st.execute();
    QList<QVariantList> linhas;
    while (st.fetch())
        linhas << QVariantList(st.row().begin(), st.row().end());
    return linhas;
}

QList<double> coluna(const TestDatabase& db, const QString& sql)
{
    QList<double> r;
    for (const QVariantList& l : consulta(db, sql))
        r << l[0].toDouble();
    return r;
}

// n meals of the same values, keys from the generator; the block runs on the server, so
// thousands cost one round trip. Its variables are written :"NAME", as :NAME marks a parameter.
void refeicoes(const TestDatabase& db, int n, const QDateTime& registro = QDateTime(QDate(2026, 3, 14), QTime(12, 0)))
{
    executa(
        db,
        QStringLiteral(
            "execute block (N integer = :N, V_CPF varchar(14) = :CPF, V_DATA date = :DATA, V_HORA time = :HORA, "
            "V_PESO numeric(9,3) = :PESO, V_USER integer = :USER1, V_MOMENTO timestamp = :DATAUSER1, "
            "V_IP varchar(16) = :IP1, V_VERSAO varchar(20) = :VERSAO1)\n"
            "as declare i integer = 0;\n"
            "begin\n"
            "  while (i < n) do begin\n"
            "    insert into REFEICAO (CPF, DATA, HORA, PESO, USER1, DATAUSER1, IP1, VERSAO1)\n"
            "    values (:\"V_CPF\", :\"V_DATA\", :\"V_HORA\", :\"V_PESO\", :\"V_USER\", :\"V_MOMENTO\", :\"V_IP\",\n"
            "            :\"V_VERSAO\");\n"
            "    i = i + 1;\n"
            "  end\n"
            "end"),
        {{"N", n},
         {"CPF", QStringLiteral("12345678909")},
         {"DATA", QDate(2026, 3, 14)},
         {"HORA", QTime(12, 0)},
         {"PESO", 1.25},
         {"USER1", 1},
         {"DATAUSER1", registro},
         {"IP1", QStringLiteral("10.0.0.7")},
         {"VERSAO1", QStringLiteral("1.0.0.0")}});
}

// The local meals not yet exported, newest first.
QList<double> pendentes(const TestDatabase& local)
{
    return coluna(local, QStringLiteral("select ID from REFEICAO where EXPORTADOEM is null order by ID desc"));
}

// The central rows' IDEXTERNO in the order they were first stored.
QList<double> centrais(const TestDatabase& central)
{
    return coluna(central, QStringLiteral("select IDEXTERNO from REFEICAO order by ID"));
}

// A local database with its data module, a central one, the boxes scripted and the clock fixed.
struct Cenario
{
    TestDatabase local{TestDatabase::Local};
    TestDatabase central{TestDatabase::Central};
    DialogosRoteirizados caixas;
    Dialogos* anterior = defineDialogos(&caixas);
    TDados dados{local.settings()};
    RegistroProgresso progresso;
    std::unique_ptr<TSincronizar> tela;

    Cenario()
    {
        defineRelogio([] { return Momento; });
        empresaReal(local);
    }
    ~Cenario()
    {
        tela.reset();
        defineRelogio({});
        defineDialogos(anterior);
    }

    TSincronizar& abre(int lote = ExportacaoRefeicoes::LotePadrao)
    {
        tela = std::make_unique<TSincronizar>(central.settings());
        tela->setTamanhoLote(lote);
        tela->criaProgresso = [this](QWidget*) { return std::make_unique<ProgressoRoteirizado>(progresso); };
        return *tela;
    }
    void sincroniza() { tela->findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->click(); }
};

QString erroExportacao(const QString& motivo)
{
    return QStringLiteral("Ocorreu um erro na exportação\n") + motivo;
}

} // namespace

class TestSincronizar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void configuracaoCentral_data();
    void configuracaoCentral();
    void telaAbreComAListaPendente();
    void centralInacessivelNaoAbre();
    void exporta_data();
    void exporta();
    void colunasDaLinhaCentral();
    void empresaSemCnpj_data();
    void empresaSemCnpj();
    void empresaCorrigidaComATelaAberta();
    void centralRecusa_data();
    void centralRecusa();
    void refeicaoPresaFicaParaDepois();
    void reexportacaoSubstituiALinha();
    void pararDepoisDoLote();
    void dialogoDeProgresso();
    void conexaoCentralPerdida();
    void pessagemRecusaExportada();
    void interrupcoes();
    void outraRefeicaoMesmaChave_data();
    void outraRefeicaoMesmaChave();
    void alteracaoDuranteExportacao();
    void centralDerrubaNoMeio();
    void centralForaDoAr();
    void duasEstacoesExportam();
};

// ---------------------------------------------------------------- settings and opening

void TestSincronizar::configuracaoCentral_data()
{
    QTest::addColumn<QStringList>("chaves");
    QTest::addColumn<QStringList>("valores");
    QTest::addColumn<QString>("banco");
    QTest::addColumn<QString>("senha");

    QTest::newRow("padrão") << QStringList() << QStringList()
                            << conexao::servidorPadrao() + u':' + conexao::caminhoCentralPadrao()
                            << conexao::senhaPadrao();
    QTest::newRow("servidor e banco") << QStringList{"SERVIDORCENTRAL", "BancoCentral"}
                                      << QStringList{" central.sap.local/3051 ", "D:\\SGBD\\CENTRAL.FDB"}
                                      << "central.sap.local/3051:D:\\SGBD\\CENTRAL.FDB" << conexao::senhaPadrao();
    QTest::newRow("senha") << QStringList{"SenhaCentral"} << QStringList{"Segredo Central 2026"}
                           << conexao::servidorPadrao() + u':' + conexao::caminhoCentralPadrao()
                           << "Segredo Central 2026";
    QTest::newRow("vazios são o padrão") << QStringList{"ServidorCentral", "BancoCentral", "SenhaCentral"}
                                         << QStringList{"", "  ", ""}
                                         << conexao::servidorPadrao() + u':' + conexao::caminhoCentralPadrao()
                                         << conexao::senhaPadrao();
}

void TestSincronizar::configuracaoCentral()
{
    QFETCH(QStringList, chaves);
    QFETCH(QStringList, valores);
    QFETCH(QString, banco);
    QFETCH(QString, senha);
    parametros().limpa();
    parametros().VetorConfig = chaves;
    parametros().VetorConfigVal = valores;
    const fb::ConnectionSettings s = TSincronizar::bancoCentral();
    parametros().limpa();
    QCOMPARE(s.database, banco);
    QCOMPARE(s.user, QStringLiteral("SYSDBA"));
    QCOMPARE(s.password, senha);
}

void TestSincronizar::telaAbreComAListaPendente()
{
    Cenario c;
    refeicoes(c.local, 1500);
    executa(c.local, QStringLiteral("update REFEICAO set EXPORTADOEM = :E where ID = :ID"),
            {{"E", Momento}, {"ID", 1500}});
    TSincronizar& t = c.abre();

    QCOMPARE(t.windowTitle(), QStringLiteral("Sincronizar Dados"));
    QCOMPARE(t.size(), QSize(813, 410));
    auto* botao = t.findChild<QPushButton*>(QStringLiteral("SpeedButton1"));
    QVERIFY(botao);
    QCOMPARE(botao->text(), QStringLiteral("Sincronizar"));
    QCOMPARE(botao->size(), QSize(217, 41));

    // The 1000 newest pending meals: 1500 is exported, so 1499 down to 500.
    QVERIFY(t.Refeicao->active());
    t.Refeicao->fetchAll();
    QCOMPARE(t.Refeicao->recordCount(), 1000);
    t.Refeicao->first();
    QCOMPARE(t.Refeicao->field("ID").asFloat(), 1499.0);
    t.Refeicao->last();
    QCOMPARE(t.Refeicao->field("ID").asFloat(), 500.0);

    auto* grade = t.findChild<DBGrid*>(QStringLiteral("DBGrid1"));
    QVERIFY(grade);
    const QStringList titulos{"ID", "C.P.F.", "Data", "Hora", "Peso", "Exportado em", "Observação"};
    QCOMPARE(grade->model()->columnCount(), titulos.size());
    for (int i = 0; i < titulos.size(); ++i)
        QCOMPARE(grade->model()->headerData(i, Qt::Horizontal).toString(), titulos[i]);
    QCOMPARE(grade->horizontalHeader()->sectionSize(6), 288);
    QCOMPARE(grade->model()->data(grade->model()->index(0, 2)).toString(), QStringLiteral("14/03/2026"));
    QCOMPARE(grade->model()->data(grade->model()->index(0, 3)).toString(), QStringLiteral("12:00"));
    QCOMPARE(grade->model()->data(grade->model()->index(0, 4)).toString(), QStringLiteral("1,250"));
    QCOMPARE(grade->editTriggers(), QAbstractItemView::NoEditTriggers);
    if (qEnvironmentVariableIsSet("SINCRONIZAR_TELA")) {
        t.show();
        QTest::qWait(200);
        t.grab().save(qEnvironmentVariable("SINCRONIZAR_TELA"));
    }
}

void TestSincronizar::centralInacessivelNaoAbre()
{
    Cenario c;
    fb::ConnectionSettings s = c.central.settings();
    s.database = conexao::servidorPadrao() + QStringLiteral(":/tmp/firebird/comedal-central-que-nao-existe.fdb");
    try {
        TSincronizar t(s);
        QFAIL("the screen opened without its central database");
    } catch (const fb::Error& e) {
        QVERIFY2(e.message().contains(QStringLiteral("comedal-central-que-nao-existe")), qPrintable(e.message()));
    }
}

// ---------------------------------------------------------------- runs

void TestSincronizar::exporta_data()
{
    QTest::addColumn<int>("quantas");
    QTest::addColumn<int>("lote");
    QTest::addColumn<Lotes>("lotes");

    QTest::newRow("nada pendente") << 0 << 1000 << Lotes{};
    QTest::newRow("uma") << 1 << 1000 << Lotes{{1, 0}};
    QTest::newRow("1500 em lotes de 1000") << 1500 << 1000 << Lotes{{1000, 500}, {1500, 0}};
    // Batches that leave a short block at the end of each, and a short last batch.
    Lotes de333;
    for (qint64 e : {333, 666, 999, 1332, 1500})
        de333.append({e, 1500 - e});
    QTest::newRow("1500 em lotes de 333") << 1500 << 333 << de333;
}

void TestSincronizar::exporta()
{
    QFETCH(int, quantas);
    QFETCH(int, lote);
    QFETCH(Lotes, lotes);
    Cenario c;
    // Two meals exported earlier: they stay out of the run.
    refeicoes(c.local, 2);
    executa(c.local, QStringLiteral("update REFEICAO set EXPORTADOEM = :E"),
            {{"E", QDateTime(QDate(2026, 1, 2), QTime(8, 0))}});
    refeicoes(c.local, quantas);
    const QList<double> antes = pendentes(c.local);
    c.abre(lote);
    c.sincroniza();

    QCOMPARE(c.caixas.textos(), QStringList{QStringLiteral("Exportado %1 registros").arg(quantas)});
    QCOMPARE(c.caixas.caixas().first().tipo, TipoCaixa::Simples);
    QCOMPARE(c.progresso.inicios, QList<qint64>{quantas});
    QCOMPARE(c.progresso.lotes, lotes);
    QCOMPARE(c.progresso.fins, 1);

    QVERIFY(pendentes(c.local).isEmpty());
    // Newest first: the central keys follow the local ones downwards.
    QCOMPARE(centrais(c.central), antes);
    const auto marcas = consulta(c.local, QStringLiteral("select ID, EXPORTADOEM from REFEICAO where ID > 2"));
    QCOMPARE(marcas.size(), quantas);
    for (const QVariantList& m : marcas)
        QCOMPARE(m[1].toDateTime(), Momento);
    const auto antigas = consulta(c.local, QStringLiteral("select EXPORTADOEM from REFEICAO where ID <= 2"));
    for (const QVariantList& m : antigas)
        QCOMPARE(m[0].toDateTime(), QDateTime(QDate(2026, 1, 2), QTime(8, 0)));
    const auto cnpjs = consulta(c.central, QStringLiteral("select distinct CNPJ from REFEICAO"));
    QCOMPARE(cnpjs.size(), quantas ? 1 : 0);
    if (quantas) QCOMPARE(cnpjs[0][0].toString(), Cnpj);

    // The list is read again: nothing pending is left to show.
    QVERIFY(c.tela->Refeicao->active());
    QVERIFY(c.tela->Refeicao->isEmpty());
}

void TestSincronizar::colunasDaLinhaCentral()
{
    Cenario c;
    const QString sql = QStringLiteral(
        "insert into REFEICAO (CPF, DATA, HORA, PESO, OBSERVACAO, USER1, DATAUSER1, IP1, VERSAO1, USER2, DATAUSER2, "
        "IP2, VERSAO2) values (:CPF, :DATA, :HORA, :PESO, :OBSERVACAO, :USER1, :DATAUSER1, :IP1, :VERSAO1, :USER2, "
        ":DATAUSER2, :IP2, :VERSAO2)");
    const QDateTime d1(QDate(2026, 3, 14), QTime(11, 58, 7)), d2(QDate(2026, 3, 15), QTime(9, 1, 2));
    // 1: changed once, so with its second audit group.
    executa(c.local, sql,
            {{"CPF", "12345678909"},
             {"DATA", QDate(2026, 3, 14)},
             {"HORA", QTime(11, 58, 7)},
             {"PESO", 0.45},
             {"OBSERVACAO", QStringLiteral("PRATO D'ÁVILA; sem sal")},
             {"USER1", 3},
             {"DATAUSER1", d1},
             {"IP1", "192.168.10.21"},
             {"VERSAO1", "1.0.0.0"},
             {"USER2", 4},
             {"DATAUSER2", d2},
             {"IP2", "192.168.10.22"},
             {"VERSAO2", "1.0.1.0"}});
    // 2: never changed. 3: a second group without its user is not copied either.
    executa(c.local, sql,
            {{"CPF", "98765432100"},
             {"DATA", QDate(2026, 3, 16)},
             {"HORA", QTime(13, 0)},
             {"PESO", 1.2},
             {"USER1", 5},
             {"DATAUSER1", d1},
             {"IP1", "10.0.0.1"},
             {"VERSAO1", "1.0.0.0"}});
    executa(c.local, sql,
            {{"CPF", "11144477735"},
             {"DATA", QDate(2026, 3, 16)},
             {"HORA", QTime(13, 5)},
             {"PESO", 0.3},
             {"USER1", 5},
             {"DATAUSER1", d1},
             {"IP1", "10.0.0.1"},
             {"VERSAO1", "1.0.0.0"},
             {"DATAUSER2", d2},
             {"IP2", "10.0.0.9"},
             {"VERSAO2", "9.9"}});
    c.abre();
    c.sincroniza();
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 3 registros"});

    const auto linhas =
        consulta(c.central, QStringLiteral("select CNPJ, IDEXTERNO, CPF, DATA, HORA, PESO, OBSERVACAO, USER1, "
                                           "DATAUSER1, IP1, VERSAO1, USER2, DATAUSER2, IP2, VERSAO2, ID "
                                           "from REFEICAO order by IDEXTERNO"));
    QCOMPARE(linhas.size(), 3);
    const QVariantList& a = linhas[0];
    QCOMPARE(a[0].toString(), Cnpj);
    QCOMPARE(a[1].toDouble(), 1.0);
    QCOMPARE(a[2].toString(), QStringLiteral("12345678909"));
    QCOMPARE(a[3].toDate(), QDate(2026, 3, 14));
    QCOMPARE(a[4].toTime(), QTime(11, 58, 7));
    QCOMPARE(a[5].toDouble(), 0.45);
    QCOMPARE(a[6].toString(), QStringLiteral("PRATO D'ÁVILA; sem sal"));
    QCOMPARE(a[7].toInt(), 3);
    QCOMPARE(a[8].toDateTime(), d1);
    QCOMPARE(a[9].toString(), QStringLiteral("192.168.10.21"));
    QCOMPARE(a[10].toString(), QStringLiteral("1.0.0.0"));
    QCOMPARE(a[11].toInt(), 4);
    QCOMPARE(a[12].toDateTime(), d2);
    QCOMPARE(a[13].toString(), QStringLiteral("192.168.10.22"));
    QCOMPARE(a[14].toString(), QStringLiteral("1.0.1.0"));
    for (int i : {1, 2}) {
        const QVariantList& b = linhas[i];
        QCOMPARE(b[1].toDouble(), double(i + 1));
        QCOMPARE(b[7].toInt(), 5);
        QVERIFY(!b[6].isValid()); // no observation
        for (int k = 11; k <= 14; ++k)
            QVERIFY2(!b[k].isValid(), qPrintable(QStringLiteral("meal %1, column %2").arg(i + 1).arg(k)));
    }
    // The central key is the central generator's, not the local one.
    QCOMPARE(linhas[2][15].toDouble(), 1.0);
}

void TestSincronizar::empresaSemCnpj_data()
{
    QTest::addColumn<QString>("comando");
    QTest::addColumn<QString>("cnpj");
    QTest::newRow("CNPJ vazio") << "update EMPRESAS set CNPJ = :CNPJ"
                                << "";
    QTest::newRow("CNPJ em branco") << "update EMPRESAS set CNPJ = :CNPJ"
                                    << "   ";
    QTest::newRow("nenhuma empresa") << "delete from EMPRESAS where CNPJ <> :CNPJ"
                                     << "";
    // Every restaurant that kept it would write into the same central rows.
    QTest::newRow("CNPJ de exemplo") << "update EMPRESAS set CNPJ = :CNPJ"
                                     << "11222333000181";
    QTest::newRow("CNPJ inválido") << "update EMPRESAS set CNPJ = :CNPJ"
                                   << "11444777000162";
}

void TestSincronizar::empresaSemCnpj()
{
    QFETCH(QString, comando);
    QFETCH(QString, cnpj);
    Cenario c;
    executa(c.local, comando, {{"CNPJ", cnpj}});
    refeicoes(c.local, 120);
    c.abre(50);
    c.sincroniza();

    // One box for the whole run, not one per meal.
    const QString motivo =
        cnpj == "11222333000181"
            ? QStringLiteral("A empresa ainda tem o CNPJ de exemplo da instalação (11.222.333/0001-81). "
                             "O responsável pela instalação deve informar o CNPJ do restaurante "
                             "(scripts/empresa) antes da exportação.")
        : cnpj == "11444777000162"
            ? QStringLiteral("O CNPJ da empresa (11444777000162) não é válido; corrija-o antes da "
                             "exportação.")
            : QStringLiteral("A empresa não tem CNPJ cadastrado.");
    QCOMPARE(c.caixas.textos(), (QStringList{erroExportacao(motivo), QStringLiteral("Exportado 0 registros")}));
    QCOMPARE(pendentes(c.local).size(), 120);
    QVERIFY(centrais(c.central).isEmpty());
    QVERIFY(!c.tela->Refeicao->isEmpty());
}

void TestSincronizar::empresaCorrigidaComATelaAberta()
{
    // The program was started on the placeholder company; the installer enters the real one
    // (scripts/empresa, another connection) while the export screen stays open.
    Cenario c;
    empresaReal(c.local, QStringLiteral("11222333000181"));
    refeicoes(c.local, 2);
    Dados->Empresas->open();
    c.abre();
    c.sincroniza();
    QCOMPARE(c.caixas.textos().last(), QStringLiteral("Exportado 0 registros"));
    empresaReal(c.local);
    c.caixas.limpa();
    c.sincroniza();
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 2 registros"});
    QCOMPARE(consulta(c.central, QStringLiteral("select distinct CNPJ from REFEICAO")), (QList<QVariantList>{{Cnpj}}));
}

void TestSincronizar::centralRecusa_data()
{
    QTest::addColumn<int>("lote");
    QTest::newRow("no meio de um bloco") << 1000;
    QTest::newRow("em lotes de 3") << 3;
}

void TestSincronizar::centralRecusa()
{
    QFETCH(int, lote);
    Cenario c;
    // The central server refuses the meal of one CPF, with a reason of its own.
    c.central.exec(QStringLiteral("CREATE EXCEPTION CPF_RECUSADO 'CPF bloqueado no banco central';\n"
                                  "SET TERM ^ ;\n"
                                  "CREATE TRIGGER REFEICAO_RECUSA FOR REFEICAO ACTIVE BEFORE INSERT OR UPDATE "
                                  "POSITION 1 AS BEGIN IF (NEW.CPF = '00000000191') THEN EXCEPTION CPF_RECUSADO; END^\n"
                                  "SET TERM ; ^\n"));
    refeicoes(c.local, 50);
    executa(c.local, QStringLiteral("update REFEICAO set CPF = :CPF where ID = 40"), {{"CPF", "00000000191"}});
    c.abre(lote);
    c.sincroniza();

    // Newest first: 50 down to 41 went; 40 stopped the run, which leaves it and the older ones pending.
    QCOMPARE(c.caixas.textos().size(), 2);
    QVERIFY2(c.caixas.textos()[0].startsWith(QStringLiteral("Ocorreu um erro na exportação\n")),
             qPrintable(c.caixas.textos()[0]));
    QVERIFY2(c.caixas.textos()[0].contains(QStringLiteral("CPF bloqueado no banco central")),
             qPrintable(c.caixas.textos()[0]));
    QCOMPARE(c.caixas.textos()[1], QStringLiteral("Exportado 10 registros"));
    const QList<double> restam = pendentes(c.local);
    QCOMPARE(restam.size(), 40);
    QCOMPARE(restam.first(), 40.0);
    QList<double> enviadas;
    for (int id = 50; id > 40; --id)
        enviadas << id;
    QCOMPARE(centrais(c.central), enviadas);
    c.tela->Refeicao->fetchAll();
    QCOMPARE(c.tela->Refeicao->recordCount(), 40);
}

void TestSincronizar::refeicaoPresaFicaParaDepois()
{
    Cenario c;
    refeicoes(c.local, 5);
    // Meal 3 is being written at another counter: its row is locked until that transaction ends.
    fb::Attachment outra = c.local.attach();
    fb::Transaction trava(outra);
    {
        fb::Statement st(outra, trava, QStringLiteral("update REFEICAO set PESO = :PESO where ID = 3"));
        st.setParameter("PESO", 0.75);
        st.execute();
    }
    c.abre();
    c.sincroniza();
    QCOMPARE(c.caixas.textos(),
             (QStringList{erroExportacao("1 refeição está sendo alterada em outra estação e fica para a próxima "
                                         "exportação."),
                          QStringLiteral("Exportado 4 registros")}));
    QCOMPARE(pendentes(c.local), QList<double>{3});
    // Nothing of it was sent: the central side never holds what the counter is replacing.
    QCOMPARE(centrais(c.central), (QList<double>{5, 4, 2, 1}));

    trava.commit();
    c.caixas.limpa();
    c.sincroniza();
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 1 registros"});
    QVERIFY(pendentes(c.local).isEmpty());
    QCOMPARE(centrais(c.central), (QList<double>{5, 4, 2, 1, 3}));
    QCOMPARE(consulta(c.central, QStringLiteral("select PESO from REFEICAO where IDEXTERNO = 3"))[0][0].toDouble(),
             0.75);
}

void TestSincronizar::reexportacaoSubstituiALinha()
{
    Cenario c;
    refeicoes(c.local, 4);
    c.abre();
    c.sincroniza();
    const auto chaves = consulta(c.central, QStringLiteral("select ID, IDEXTERNO from REFEICAO order by ID"));

    // Un-marked by hand and corrected, then exported again.
    executa(c.local, QStringLiteral("update REFEICAO set EXPORTADOEM = null, PESO = :PESO where ID = 2"),
            {{"PESO", 0.9}});
    c.caixas.limpa();
    c.sincroniza();
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 1 registros"});
    QCOMPARE(consulta(c.central, QStringLiteral("select ID, IDEXTERNO from REFEICAO order by ID")), chaves);
    QCOMPARE(consulta(c.central, QStringLiteral("select PESO from REFEICAO where IDEXTERNO = 2"))[0][0].toDouble(),
             0.9);
}

void TestSincronizar::pararDepoisDoLote()
{
    Cenario c;
    refeicoes(c.local, 350);
    c.progresso.pararApos = 2;
    c.abre(100);
    c.sincroniza();
    QCOMPARE(c.progresso.inicios, QList<qint64>{350});
    QCOMPARE(c.progresso.lotes, (Lotes{{100, 250}, {200, 150}}));
    QCOMPARE(c.progresso.fins, 1);
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 200 registros"});
    // Whole batches on both sides; the oldest 150 wait for the next run.
    QCOMPARE(centrais(c.central).size(), 200);
    QCOMPARE(pendentes(c.local).size(), 150);
    QCOMPARE(pendentes(c.local).first(), 150.0);
    c.tela->Refeicao->fetchAll();
    QCOMPARE(c.tela->Refeicao->recordCount(), 150);
}

void TestSincronizar::dialogoDeProgresso()
{
    QWidget janela;
    ProgressoDialogo p(&janela);
    QProgressDialog* d = p.dialogo();
    p.inicio(2500);
    QVERIFY(d->isVisible());
    QCOMPARE(d->windowModality(), Qt::WindowModal);
    QVERIFY(d->labelText().contains(QStringLiteral("Enviadas: 0")));
    QVERIFY(d->labelText().contains(QStringLiteral("Pendentes: 2.500")));
    QVERIFY(p.lote(1000, 1500));
    QCOMPARE(d->value(), 1000);
    QCOMPARE(d->maximum(), 2500);
    QVERIFY(d->labelText().contains(QStringLiteral("Enviadas: 1.000")));
    QVERIFY(d->labelText().contains(QStringLiteral("Pendentes: 1.500")));
    // "Parar": the run stops at the next batch boundary.
    auto* parar = d->findChild<QPushButton*>();
    QVERIFY(parar);
    QCOMPARE(parar->text(), QStringLiteral("Parar"));
    parar->click();
    QVERIFY(!p.lote(2000, 500));
    p.fim();
    QVERIFY(!d->isVisible());

    // The screen's own dialog on a real run, offscreen: it neither blocks nor stays behind.
    Cenario c;
    refeicoes(c.local, 30);
    c.abre(10);
    c.tela->criaProgresso = nullptr;
    c.sincroniza();
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 30 registros"});
    for (QProgressDialog* aberto : c.tela->findChildren<QProgressDialog*>())
        QVERIFY(!aberto->isVisible());
}

void TestSincronizar::conexaoCentralPerdida()
{
    Cenario c;
    refeicoes(c.local, 3);
    c.abre();
    // The central server drops the screen's connection (as a restart would).
    executa(c.central, QStringLiteral("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> CURRENT_CONNECTION"));
    c.sincroniza();
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 3 registros"});
    QCOMPARE(centrais(c.central), (QList<double>{3, 2, 1}));
}

void TestSincronizar::pessagemRecusaExportada()
{
    Cenario c;
    executa(c.local, QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values (:NOME, :MAE, :SEXO, :CPF)"),
            {{"NOME", "MARIA DA SILVA"}, {"MAE", "JOANA"}, {"SEXO", "F"}, {"CPF", "12345678909"}});
    refeicoes(c.local, 2);
    c.abre();
    c.sincroniza();
    c.caixas.limpa();

    TPessagem pesagem;
    QVERIFY(pesagem.Refeicao->active());
    QVERIFY(!pesagem.Refeicao->field("EXPORTADOEM").isNull());
    protegido([&] { pesagem.AlterarClick(); });
    QCOMPARE(pesagem.Refeicao->state(), EstadoDataset::Browse);
    protegido([&] { pesagem.ExcluirClick(); });
    QCOMPARE(c.caixas.textos(), (QStringList{QStringLiteral("Registro já foi Exportado impossivel modificar"),
                                             QStringLiteral("Registro já foi Exportado impossivel Excluir")}));
    QCOMPARE(coluna(c.local, QStringLiteral("select count(*) from REFEICAO")), QList<double>{2});
}

// ---------------------------------------------------------------- crash test

namespace {

// Reads the child's lines until the n-th one that starts with prefixo; false if it ended first.
bool esperaLinha(QProcess& p, char prefixo, int n)
{
    int vistas = 0;
    while (vistas < n) {
        while (!p.canReadLine())
            if (p.state() != QProcess::Running || !p.waitForReadyRead(20000)) return false;
        const QByteArray linha = p.readLine();
        if (linha.startsWith(prefixo)) ++vistas;
    }
    return true;
}

} // namespace

void TestSincronizar::interrupcoes()
{
    constexpr int Total = 3000, Lote = 100;
    TestDatabase local(TestDatabase::Local), central(TestDatabase::Central);
    empresaReal(local);
    refeicoes(local, Total);
    const QString programa = QCoreApplication::applicationFilePath();
    const QStringList base{QStringLiteral("--exportar"), local.settings().database, central.settings().database,
                           QString::number(Lote)};
    const quint32 semente = QRandomGenerator::global()->generate();
    qInfo("semente %u", semente);
    QRandomGenerator sorte(semente);
    int naJanela = 0;

    for (int rodada = 0; rodada < 10; ++rodada) {
        // Every meal pending again; every other round the central rows stay, to be replaced.
        executa(local, QStringLiteral("update REFEICAO set EXPORTADOEM = null"));
        if (rodada % 2 == 0) executa(central, QStringLiteral("delete from REFEICAO"));

        // A pause after each central commit widens the moment between the two commits.
        QProcess morto;
        morto.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        morto.start(programa, base + QStringList{QStringLiteral("10")});
        QVERIFY(morto.waitForStarted());
        const int alvo = sorte.bounded(1, Total / Lote - 5);
        const bool janela = sorte.bounded(2) == 0;
        QVERIFY2(esperaLinha(morto, janela ? 'C' : 'L', alvo), "the export ended before it was killed");
        if (!janela) QThread::usleep(sorte.bounded(20000));
        QCOMPARE(morto.state(), QProcess::Running);
        morto.kill(); // SIGKILL
        QVERIFY(morto.waitForFinished());

        // A meal is marked only after its central commit.
        const QList<double> naCentral = centrais(central);
        const QSet<double> conjuntoCentral(naCentral.begin(), naCentral.end());
        const QList<double> marcadas =
            coluna(local, QStringLiteral("select ID from REFEICAO where EXPORTADOEM is not null"));
        for (double id : marcadas)
            QVERIFY2(conjuntoCentral.contains(id), qPrintable(QStringLiteral("meal %1 marked, not central").arg(id)));
        if (conjuntoCentral.size() > marcadas.size()) ++naJanela;

        // Again to the end.
        QProcess ate;
        ate.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        ate.start(programa, base + QStringList{QStringLiteral("0")});
        QVERIFY(ate.waitForFinished(60000));
        QCOMPARE(ate.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ate.exitCode(), 0);

        QVERIFY(pendentes(local).isEmpty());
        const QList<double> fim = centrais(central);
        QCOMPARE(fim.size(), Total);
        const QSet<double> distintas(fim.begin(), fim.end());
        QCOMPARE(distintas.size(), Total);
        QCOMPARE(coluna(local, QStringLiteral("select count(*) from REFEICAO where EXPORTADOEM is not null")),
                 QList<double>{Total});
        QVERIFY(distintas.contains(1) && distintas.contains(Total));
    }
    qInfo("%d of 10 kills fell between the central commit and the local mark", naJanela);
}

// ---------------------------------------------------------------- restaurants and workstations

namespace {

// The central database holds total meals, none of them twice.
bool cadaUmaVez(const TestDatabase& central, int total)
{
    const QList<double> naCentral = centrais(central);
    const qsizetype distintas = QSet<double>(naCentral.begin(), naCentral.end()).size();
    if (naCentral.size() == total && distintas == total) return true;
    qWarning("central: %lld rows, %lld distinct meals, %d expected", qlonglong(naCentral.size()), qlonglong(distintas),
             total);
    return false;
}

} // namespace

void TestSincronizar::outraRefeicaoMesmaChave_data()
{
    QTest::addColumn<QString>("cnpjOutro");
    // The restaurant's local database made again (a new disk): its keys start at 1 again.
    QTest::newRow("mesmo restaurante, banco refeito") << Cnpj;
    QTest::newRow("outro restaurante") << QStringLiteral("04578050000101");
}

void TestSincronizar::outraRefeicaoMesmaChave()
{
    QFETCH(QString, cnpjOutro);
    Cenario c;
    refeicoes(c.local, 3);
    c.abre();
    c.sincroniza();
    const QString todas = QStringLiteral("select ID, CNPJ, IDEXTERNO, PESO, DATAUSER1 from REFEICAO order by ID");
    const auto primeiras = consulta(c.central, todas);
    QCOMPARE(primeiras.size(), 3);

    TestDatabase outro(TestDatabase::Local);
    empresaReal(outro, cnpjOutro);
    refeicoes(outro, 3, QDateTime(QDate(2026, 12, 1), QTime(11, 30)));
    executa(outro, QStringLiteral("update REFEICAO set PESO = 0.5"));
    {
        fb::Attachment l = outro.attach(), central = c.central.attach();
        ExportacaoRefeicoes exportacao(l, central);
        const ExportacaoRefeicoes::Resultado r = exportacao.executa(cnpjOutro);
        QCOMPARE(r.erro, QString());
        QCOMPARE(r.exportadas, 3);
    }
    // Stored beside the first three, which stay as they were.
    auto linhas = consulta(c.central, todas);
    QCOMPARE(linhas.size(), 6);
    QCOMPARE(linhas.mid(0, 3), primeiras);
    for (const QVariantList& l : linhas.mid(3)) {
        QCOMPARE(l[1].toString(), cnpjOutro);
        QCOMPARE(l[3].toDouble(), 0.5);
    }

    // A meal sent again is still one row: its own.
    executa(c.local, QStringLiteral("update REFEICAO set EXPORTADOEM = null, PESO = 0.9 where ID = 2"));
    c.caixas.limpa();
    c.sincroniza();
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 1 registros"});
    linhas = consulta(c.central, todas);
    QCOMPARE(linhas.size(), 6);
    QCOMPARE(linhas[1][0], primeiras[1][0]);
    QCOMPARE(linhas[1][3].toDouble(), 0.9);
    QCOMPARE(linhas.mid(3, 3).size(), 3);
    QCOMPARE(consulta(c.central, QStringLiteral("select count(*) from REFEICAO where PESO = 0.5"))[0][0].toInt(), 3);
}

void TestSincronizar::alteracaoDuranteExportacao()
{
    Cenario c;
    executa(c.local, QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values (:NOME, :MAE, :SEXO, :CPF)"),
            {{"NOME", "MARIA DA SILVA"}, {"MAE", "JOANA"}, {"SEXO", "F"}, {"CPF", "12345678909"}});
    refeicoes(c.local, 3);
    // This counter shows the newest meal; another workstation exports while it does.
    TPessagem pesagem;
    QCOMPARE(pesagem.Refeicao->field("ID").asFloat(), 3.0);
    fb::Attachment outraEstacao = c.local.attach(), central = c.central.attach();
    ExportacaoRefeicoes exportacao(outraEstacao, central);
    bool tentou = false;
    exportacao.aposEnvioCentral = [&] {
        // Between the central commit and the local one, the operator corrects the weight.
        tentou = true;
        protegido([&] { pesagem.AlterarClick(); });
        QCOMPARE(pesagem.Refeicao->state(), EstadoDataset::Edit);
        pesagem.Refeicao->field("PESO").setValue(0.333);
        protegido([&] { pesagem.ConfirmarClick(); });
    };
    const ExportacaoRefeicoes::Resultado r = exportacao.executa(Cnpj);
    QVERIFY(tentou);
    QCOMPARE(r.erro, QString());
    QCOMPARE(r.exportadas, 3);

    // Refused at once, as any row another workstation holds; the typing stays on the screen.
    QCOMPARE(c.caixas.textos().size(), 1);
    QVERIFY2(c.caixas.textos()[0].startsWith(
                 QStringLiteral("O registro está sendo alterado em outra estação; tente de novo ou cancele.")),
             qPrintable(c.caixas.textos()[0]));
    QCOMPARE(pesagem.Refeicao->state(), EstadoDataset::Edit);
    QCOMPARE(pesagem.Refeicao->field("PESO").asFloat(), 0.333);
    // What is marked is what the central database holds.
    QCOMPARE(consulta(c.local, QStringLiteral("select PESO from REFEICAO where ID = 3"))[0][0].toDouble(), 1.25);
    QCOMPARE(consulta(c.central, QStringLiteral("select PESO from REFEICAO where IDEXTERNO = 3"))[0][0].toDouble(),
             1.25);
    QVERIFY(pendentes(c.local).isEmpty());

    // Confirmed again, the meal is exported now: refused with the screen's own words.
    c.caixas.limpa();
    protegido([&] { pesagem.ConfirmarClick(); });
    QCOMPARE(c.caixas.textos(), QStringList{QStringLiteral("Registro já foi Exportado impossivel modificar")});
    QCOMPARE(consulta(c.local, QStringLiteral("select PESO from REFEICAO where ID = 3"))[0][0].toDouble(), 1.25);
}

namespace {

// Drops the central connections of the export after its first batch, once.
struct DerrubaNoPrimeiroLote : ProgressoExportacao
{
    std::function<void()> derruba;
    bool feito = false;
    void inicio(qint64) override {}
    bool lote(qint64, qint64) override
    {
        if (!feito) {
            feito = true;
            derruba();
        }
        return true;
    }
    void fim() override {}
};

} // namespace

void TestSincronizar::centralDerrubaNoMeio()
{
    // The central administrator disconnects the export in the middle of a run: the run connects
    // again and finishes, nothing sent twice.
    Cenario c;
    refeicoes(c.local, 300);
    c.abre(100);
    c.tela->criaProgresso = [&](QWidget*) {
        auto p = std::make_unique<DerrubaNoPrimeiroLote>();
        p->derruba = [&] {
            executa(c.central,
                    QStringLiteral("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> CURRENT_CONNECTION"));
        };
        return p;
    };
    {
        Vigia vigia("export after the central connection was dropped");
        c.sincroniza();
    }
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 300 registros"});
    QVERIFY(cadaUmaVez(c.central, 300));
    QVERIFY(pendentes(c.local).isEmpty());

    // Once more, after a drop between runs.
    refeicoes(c.local, 5);
    executa(c.central, QStringLiteral("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> CURRENT_CONNECTION"));
    c.caixas.limpa();
    {
        Vigia vigia("export on a connection dropped between runs");
        c.sincroniza();
    }
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 5 registros"});
    QCOMPARE(centrais(c.central).size(), 305);
}

void TestSincronizar::centralForaDoAr()
{
    // The central server goes away in the middle of a run and stays away for a while.
    Cenario c;
    refeicoes(c.local, 300);
    ProxyTcp relay(c.central.serverPort());
    c.tela = std::make_unique<TSincronizar>(c.central.throughPort(relay.porta()));
    c.tela->setTamanhoLote(100);
    bool derrubou = false; // once: the first batch of the first run
    c.tela->criaProgresso = [&](QWidget*) {
        auto p = std::make_unique<DerrubaNoPrimeiroLote>();
        p->feito = derrubou;
        p->derruba = [&] {
            derrubou = true;
            relay.derruba();
        };
        return p;
    };
    {
        Vigia vigia("export while the central server went away");
        c.sincroniza();
    }
    QCOMPARE(c.caixas.textos().size(), 2);
    const QString semCentral = erroExportacao("Sem conexão com o banco central.\n");
    QVERIFY2(c.caixas.textos()[0].startsWith(semCentral), qPrintable(c.caixas.textos()[0]));
    QCOMPARE(c.caixas.textos()[1], QStringLiteral("Exportado 100 registros"));
    QCOMPARE(pendentes(c.local).size(), 200);

    // Still away: each press says so at once.
    for (int vez = 0; vez < 2; ++vez) {
        c.caixas.limpa();
        Vigia vigia("export while the central server is away");
        c.sincroniza();
        QCOMPARE(c.caixas.textos().size(), 2);
        QVERIFY2(c.caixas.textos()[0].startsWith(semCentral), qPrintable(c.caixas.textos()[0]));
        QCOMPARE(c.caixas.textos()[1], QStringLiteral("Exportado 0 registros"));
    }
    QCOMPARE(pendentes(c.local).size(), 200);

    // Back: the next press connects again and sends the rest, the first hundred not again.
    relay.religa();
    c.caixas.limpa();
    {
        Vigia vigia("export after the central server came back");
        c.sincroniza();
    }
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 200 registros"});
    QVERIFY(cadaUmaVez(c.central, 300));
    QVERIFY(pendentes(c.local).isEmpty());
}

void TestSincronizar::duasEstacoesExportam()
{
    // Two workstations of one restaurant press "Sincronizar" at the same time.
    Cenario c;
    refeicoes(c.local, 300);
    c.abre(100);
    fb::Attachment outraEstacao = c.local.attach(), outraCentral = c.central.attach();
    ExportacaoRefeicoes::Resultado daOutra;
    c.tela->criaProgresso = [&](QWidget*) {
        auto p = std::make_unique<DerrubaNoPrimeiroLote>();
        p->derruba = [&] {
            ExportacaoRefeicoes exportacao(outraEstacao, outraCentral);
            exportacao.setEsperaOutraEstacao(1);
            daOutra = exportacao.executa(Cnpj);
        };
        return p;
    };
    c.sincroniza();
    QCOMPARE(daOutra.erro, ExportacaoRefeicoes::outraEstacaoExportando());
    QCOMPARE(daOutra.exportadas, 0);
    QCOMPARE(c.caixas.textos(), QStringList{"Exportado 300 registros"});
    QVERIFY(cadaUmaVez(c.central, 300));

    // Once the first has finished, the other finds nothing left and no one in its way.
    ExportacaoRefeicoes depois(outraEstacao, outraCentral);
    const ExportacaoRefeicoes::Resultado r = depois.executa(Cnpj);
    QCOMPARE(r.erro, QString());
    QCOMPARE(r.exportadas, 0);
}

// The export without a screen, for the crash test:
// --exportar LOCAL CENTRAL LOTE PAUSA_MS. Prints "C" after each central commit and "L n" after
// each local one.
static int exportaSemTela(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 6) return 2;
    try {
        TDados dados({QString::fromLocal8Bit(argv[2]), QStringLiteral("SYSDBA"), conexao::senhaPadrao()});
        dados.Empresas->open();
        const QString cnpj = dados.Empresas->field(QStringLiteral("CNPJ")).asString();
        fb::Attachment central =
            fb::Attachment::attach({QString::fromLocal8Bit(argv[3]), QStringLiteral("SYSDBA"), conexao::senhaPadrao()});
        ExportacaoRefeicoes exportacao(dados.fatura, central);
        exportacao.setTamanhoLote(QByteArray(argv[4]).toInt());
        const int pausa = QByteArray(argv[5]).toInt();
        exportacao.aposEnvioCentral = [pausa] {
            std::printf("C\n");
            std::fflush(stdout);
            if (pausa > 0) QThread::msleep(pausa);
        };
        struct Saida : ProgressoExportacao
        {
            void inicio(qint64) override {}
            bool lote(qint64 enviadas, qint64) override
            {
                std::printf("L %lld\n", qlonglong(enviadas));
                std::fflush(stdout);
                return true;
            }
            void fim() override {}
        } saida;
        const ExportacaoRefeicoes::Resultado r = exportacao.executa(cnpj, &saida);
        if (!r.erro.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(r.erro));
            return 1;
        }
        std::printf("FIM %lld\n", qlonglong(r.exportadas));
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--exportar") == 0) return exportaSemTela(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    TestSincronizar tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "db_sincronizar.moc"
