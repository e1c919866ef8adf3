// bench_relatorio [MEALS] [--manter] [--reusar]
// The daily report on real volumes: fills a scratch local and a scratch central database (this
// version's scripts, so with their date indexes) with MEALS meals (2,000,000 unless given) over the
// four years 2022 to 2025, then times the screen's reading (days, totals, consumers) and the command's (days,
// totals; per restaurant for the central one) for one month and for the whole year. The goal: a
// month under 300 ms, a year under 2 s. The databases are dropped at the end unless --manter.
// --reusar keeps them under fixed names (one pair per MEALS) and, on the next run, times the pair
// already filled instead of filling a new one.
#include "common/analiticodia.h"
#include "data/conexao.h"
#include "data/firebird.h"
#include "reports/xAnaliticoDia.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <cstdio>
#include <functional>

namespace {

QString script(const char* nome)
{
    QFile f(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../data/%1").arg(QLatin1String(nome))));
    if (!f.open(QIODevice::ReadOnly)) throw fb::Error(QStringLiteral("script não encontrado: ") + f.fileName());
    return QString::fromUtf8(f.readAll());
}

fb::ConnectionSettings banco(const char* tipo, const QString& sufixo)
{
    return {conexao::servidorPadrao() +
                QStringLiteral(":/tmp/firebird/comedal-bench-%1-%2.fdb").arg(QLatin1String(tipo), sufixo),
            QStringLiteral("SYSDBA"), conexao::senhaPadrao()};
}

// Meals spread evenly over 2022 to 2025 (about 1,400 a day), 20,000 consumers, weights 0,300 to 0,799 kg; on the
// central side three restaurants. Locally every consumer is also a client, whose name the screen shows.
void enche(fb::Attachment& att, qint64 refeicoes, bool central)
{
    QElapsedTimer t;
    t.start();
    // One block run on the server, its loop variable written as PSQL wants it (":I"), which the
    // statement layer would take for a parameter: the script runner passes the text as it is.
    const QString corpo =
        central
            ? QStringLiteral("insert into REFEICAO (CNPJ, IDEXTERNO, CPF, DATA, HORA, PESO, DATAUSER1) values "
                             "(decode(mod(:I, 3), 0, '11444777000161', 1, '11222333000181', '00000000000191'), :I, "
                             "lpad(mod(:I * 7919, 20000), 11, '0'), dateadd(mod(:I, 1461) day to date '2022-01-01'), "
                             "'12:00', 0.3 + mod(:I, 500) / 1000.000, "
                             "dateadd(:I second to timestamp '2022-01-01 00:00'));")
            : QStringLiteral("insert into REFEICAO (CPF, DATA, HORA, PESO) values (lpad(mod(:I * 7919, 20000), "
                             "11, '0'), dateadd(mod(:I, 1461) day to date '2022-01-01'), '12:00', "
                             "0.3 + mod(:I, 500) / 1000.000);");
    auto bloco = [&att](qint64 vezes, const QString& insercao) {
        fb::executeScript(att,
                          QStringLiteral("SET TERM ^ ;\nexecute block as declare I bigint = 0; begin while (I < %1) "
                                         "do begin %2 I = I + 1; end end^\nSET TERM ; ^\n")
                              .arg(vezes)
                              .arg(insercao));
    };
    if (!central)
        bloco(20000, QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('CONSUMIDOR ' || :I, "
                                    "'MAE', 'F', lpad(:I, 11, '0'));"));
    bloco(refeicoes, corpo);
    std::printf("  %lld refeições gravadas em %.1f s\n", static_cast<long long>(refeicoes), t.elapsed() / 1000.0);
}

// Best of three runs: the first also warms the server's page cache.
double mede(const std::function<void()>& f)
{
    double melhor = 1e18;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        melhor = qMin(melhor, t.nsecsElapsed() / 1e6);
    }
    return melhor;
}

void linha(const char* oque, double mes, double ano)
{
    std::printf("  %-38s mês %8.1f ms %-4s   ano %8.1f ms %s\n", oque, mes, mes < 300 ? "ok" : "LENTO", ano,
                ano < 2000 ? "ok" : "LENTO");
}

// The pair kept by an earlier --reusar run, when it holds all its meals: a run stopped while filling
// left fewer, or none.
bool cheio(const fb::ConnectionSettings& s, qint64 refeicoes)
{
    try {
        fb::Attachment att = fb::Attachment::attach(s);
        fb::Transaction tra(att);
        fb::Statement st(att, tra, QStringLiteral("select count(*) from REFEICAO"));
        st.execute();
        return st.fetch() && st.value(0).toLongLong() == refeicoes;
    } catch (const fb::Error&) {
        return false;
    }
}

fb::Attachment prepara(const fb::ConnectionSettings& s, qint64 refeicoes, bool central, bool reusar)
{
    std::printf("banco %s %s\n", central ? "central" : "local", qPrintable(s.database));
    if (reusar && cheio(s, refeicoes)) {
        std::printf("  reaproveitado, já com %lld refeições\n", static_cast<long long>(refeicoes));
        return fb::Attachment::attach(s);
    }
    if (reusar) {
        try {
            fb::Attachment::attach(s).dropDatabase();
        } catch (const fb::Error&) {
        }
    }
    fb::Attachment att = fb::Attachment::create(s, false);
    fb::executeScript(att, script(central ? "central.sql" : "local.sql"));
    enche(att, refeicoes, central);
    return att;
}

} // namespace

int main(int argc, char** argv)
{
    // The screen is timed too, drawn off any display unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qint64 refeicoes = 2000000;
    bool manter = false, reusar = false;
    for (const QString& a : app.arguments().mid(1)) {
        if (a == QLatin1String("--manter"))
            manter = true;
        else if (a == QLatin1String("--reusar"))
            reusar = manter = true;
        else
            refeicoes = a.toLongLong();
    }
    const QDate mesDe(2025, 6, 1), mesAte(2025, 6, 30), anoDe(2025, 1, 1), anoAte(2025, 12, 31);
    try {
        const QString sufixo =
            reusar ? QStringLiteral("relatorio-%1").arg(refeicoes) : QUuid::createUuid().toString(QUuid::Id128);
        fb::Attachment l = prepara(banco("local", sufixo), refeicoes, false, reusar);
        fb::Attachment c = prepara(banco("central", sufixo), refeicoes, true, reusar);

        fb::Transaction tl(l), tc(c);
        auto leitura = [&](const QDate& de, const QDate& ate) {
            return mede([&] { analitico::periodo(l, tl, de, ate); });
        };
        // "Gerar" on the screen: the reading, the tables and the chart.
        TAnaliticoDia janela(l, tl);
        janela.resize(1366, 768);
        janela.show();
        auto tela = [&](const QDate& de, const QDate& ate) {
            return mede([&] {
                janela.setPeriodo(de, ate);
                janela.GerarClick();
                QApplication::processEvents();
            });
        };
        auto comando = [&](const QDate& de, const QDate& ate) {
            return mede([&] {
                const Analitico a = analitico::periodo(l, tl, de, ate, false);
                analitico::csv(a.dias, a.total);
            });
        };
        auto comandoCentral = [&](const QDate& de, const QDate& ate) {
            return mede([&] { analitico::csvCentral(analitico::centralPorDia(c, tc, de, ate)); });
        };
        std::printf("%lld refeições de 2022 a 2025; junho e o ano de 2025 (melhor de 3):\n",
                    static_cast<long long>(refeicoes));
        linha("leitura da tela (dias, totais, pessoas)", leitura(mesDe, mesAte), leitura(anoDe, anoAte));
        linha("tela (Gerar: tabelas e gráfico)", tela(mesDe, mesAte), tela(anoDe, anoAte));
        linha("comedal-relatorio", comando(mesDe, mesAte), comando(anoDe, anoAte));
        linha("comedal-relatorio --central", comandoCentral(mesDe, mesAte), comandoCentral(anoDe, anoAte));
        tl.commit();
        tc.commit();
        if (manter) {
            l.detach();
            c.detach();
        } else {
            l.dropDatabase();
            c.dropDatabase();
        }
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
