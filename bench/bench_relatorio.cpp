// bench_relatorio [MEALS] [--manter] [--reusar] [--rodadas=N]
// The daily report on real volumes: fills a scratch local and a scratch central database (this
// version's scripts, so with their date indexes) with MEALS meals (2,000,000 unless given) over the
// four years 2022 to 2025, then times the screen's reading (days, totals, consumers) and the command's (days,
// totals; per restaurant for the central one) for one month and for the whole year. The goal: a
// month under 300 ms, a year under 2 s. The databases are dropped at the end unless --manter.
// --reusar keeps them under fixed names (one pair per MEALS) and, on the next run, times the pair
// already filled instead of filling a new one. Each figure is the median of N runs (5 unless
// --rodadas=N) after one that warms the server's cache, with the fastest and slowest run; the
// screen's figure is split into its steps (reading, tables, chart, drawing the window with the
// names it shows). --sondas times the plain statements below instead of the report.
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
#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

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

// Times of one measurement repeated: the first run also warms the server's page cache and is not
// counted.
struct Medida
{
    std::vector<double> ms;
    double mediana() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double menor() const { return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end()); }
    double maior() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

int rodadas = 5;
// --sondas: instead of the report, each of these statements timed alone, its rows fetched and
// thrown away: the server's pass over the period, then the cost of bringing its rows over.
bool sondas = false;
const char* const sondas_sql[] = {
    "select count(*) from REFEICAO where DATA between :DE and :ATE",
    "select DATA, CPF, PESO from REFEICAO where DATA between :DE and :ATE",
    "select DATA from REFEICAO where DATA between :DE and :ATE",
};

Medida mede(const std::function<void()>& f)
{
    Medida m;
    f();
    for (int i = 0; i < rodadas; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        m.ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return m;
}

QString figura(const Medida& m, double meta)
{
    return QStringLiteral("%1 ms (%2-%3) %4")
        .arg(m.mediana(), 7, 'f', 1)
        .arg(m.menor(), 0, 'f', 0)
        .arg(m.maior(), 0, 'f', 0)
        .arg(meta > 0 ? (m.mediana() < meta ? QStringLiteral("ok   ") : QStringLiteral("LENTO")) : QString(5, u' '));
}

void linha(const char* oque, const Medida& mes, const Medida& ano, bool meta = true)
{
    std::printf("  %s mês %s   ano %s\n", qPrintable(QString::fromUtf8(oque).leftJustified(34)),
                qPrintable(figura(mes, meta ? 300 : 0)), qPrintable(figura(ano, meta ? 2000 : 0)));
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
        else if (a == QLatin1String("--sondas"))
            sondas = true;
        else if (a.startsWith(QLatin1String("--rodadas=")))
            rodadas = qMax(1, a.mid(10).toInt());
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
        // The second connection the screen and the command read long periods with.
        const fb::ConnectionSettings bancoLocal = banco("local", sufixo), bancoCentral = banco("central", sufixo);
        const analitico::Conexao outraLocal = [&] { return fb::Attachment::attach(bancoLocal); };
        const analitico::Conexao outraCentral = [&] { return fb::Attachment::attach(bancoCentral); };
        auto leitura = [&](const QDate& de, const QDate& ate) {
            return mede([&] { analitico::periodo(l, tl, de, ate, false, outraLocal); });
        };
        // "Gerar" on the screen: the reading, the tables and the chart, then the window drawn with
        // them. Each step is timed too, from the screen's own clock and around the drawing.
        TAnaliticoDia janela(l, tl, outraLocal);
        janela.resize(1366, 768);
        janela.show();
        QApplication::processEvents();
        struct Etapas
        {
            Medida leitura, tabelas, grafico, desenho;
        };
        auto tela = [&](const QDate& de, const QDate& ate, Etapas& etapas) {
            etapas = {};
            bool primeira = true;
            Medida total = mede([&] {
                janela.setPeriodo(de, ate);
                janela.GerarClick();
                QElapsedTimer t;
                t.start();
                // Everything the event loop has to do, the painting of the window included.
                janela.repaint();
                QApplication::processEvents();
                if (primeira) {
                    primeira = false;
                    return;
                }
                const TAnaliticoDia::Tempos& e = janela.tempos();
                etapas.leitura.ms.push_back(e.leitura);
                etapas.tabelas.ms.push_back(e.tabelas);
                etapas.grafico.ms.push_back(e.grafico);
                etapas.desenho.ms.push_back(double(t.nsecsElapsed()) / 1e6);
            });
            return total;
        };
        auto comando = [&](const QDate& de, const QDate& ate) {
            return mede([&] {
                const Analitico a = analitico::tabela(l, tl, de, ate, outraLocal);
                analitico::csv(a.dias, a.total);
            });
        };
        auto comandoCentral = [&](const QDate& de, const QDate& ate) {
            return mede([&] { analitico::csvCentral(analitico::centralPorDia(c, tc, de, ate, outraCentral)); });
        };
        std::printf("%lld refeições de 2022 a 2025; junho e o ano de 2025 (mediana de %d, menor-maior):\n",
                    static_cast<long long>(refeicoes), rodadas);
        if (sondas) {
            // Where the reading's time goes: the server's pass alone, then the rows brought over
            // without counting them.
            auto consulta = [&](const char* sql) {
                auto f = [&](const QDate& de, const QDate& ate) {
                    return mede([&] {
                        fb::Statement st(l, tl, QString::fromLatin1(sql));
                        st.setParameter(QStringLiteral("DE"), de);
                        st.setParameter(QStringLiteral("ATE"), ate);
                        st.execute();
                        while (st.fetch()) {
                        }
                    });
                };
                std::printf("  %s\n", sql);
                linha("", f(mesDe, mesAte), f(anoDe, anoAte), false);
            };
            for (const char* sql : sondas_sql)
                consulta(sql);
            {
                const fb::ConnectionSettings cfg = banco("local", sufixo);
                auto metade = [&](const QDate& de, const QDate& ate) {
                    fb::Attachment a = fb::Attachment::attach(cfg);
                    fb::Transaction t(a);
                    fb::Statement st(a, t, QString::fromLatin1(sondas_sql[1]));
                    st.setParameter(QStringLiteral("DE"), de);
                    st.setParameter(QStringLiteral("ATE"), ate);
                    st.execute();
                    while (st.fetch()) {
                    }
                };
                auto dois = [&](const QDate& de, const QDate& ate) {
                    return mede([&] {
                        const QDate meio = de.addDays(de.daysTo(ate) / 2);
                        std::thread outra([&] { metade(meio.addDays(1), ate); });
                        metade(de, meio);
                        outra.join();
                    });
                };
                auto um = [&](const QDate& de, const QDate& ate) { return mede([&] { metade(de, ate); }); };
                linha("uma conexão nova", um(mesDe, mesAte), um(anoDe, anoAte), false);
                linha("duas conexões, meio período cada", dois(mesDe, mesAte), dois(anoDe, anoAte), false);
            }
        } else {
            linha("leitura da tela (dias, pessoas)", leitura(mesDe, mesAte), leitura(anoDe, anoAte));
            Etapas mes, ano;
            const Medida telaMes = tela(mesDe, mesAte, mes), telaAno = tela(anoDe, anoAte, ano);
            linha("tela (Gerar e desenho)", telaMes, telaAno);
            linha("  leitura das refeições", mes.leitura, ano.leitura, false);
            linha("  tabelas", mes.tabelas, ano.tabelas, false);
            linha("  gráfico", mes.grafico, ano.grafico, false);
            linha("  desenho da janela (e nomes)", mes.desenho, ano.desenho, false);
            linha("comedal-relatorio", comando(mesDe, mesAte), comando(anoDe, anoAte));
            linha("comedal-relatorio --central", comandoCentral(mesDe, mesAte), comandoCentral(anoDe, anoAte));
        }
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
