// bench_relatorio [MEALS] [--manter]
// The daily report on real volumes: fills a scratch local and a scratch central database (this
// version's scripts, so with their date indexes) with MEALS meals (2,000,000 unless given) over the
// four years 2022 to 2025, then times the screen's reading (days, totals, consumers) and the command's (days,
// totals; per restaurant for the central one) for one month and for the whole year. The goal: a
// month under 300 ms, a year under 2 s. The databases are dropped at the end unless --manter.
#include "common/analiticodia.h"
#include "data/conexao.h"
#include "data/firebird.h"

#include <QCoreApplication>
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

fb::ConnectionSettings novo(const char* tipo)
{
    return {conexao::servidorPadrao() + QStringLiteral(":/tmp/firebird/comedal-bench-%1-%2.fdb")
                                            .arg(QLatin1String(tipo), QUuid::createUuid().toString(QUuid::Id128)),
            QStringLiteral("SYSDBA"), conexao::senhaPadrao()};
}

// Meals spread evenly over 2022 to 2025 (about 1,400 a day), 20,000 consumers, weights 0,300 to 0,799 kg; on the
// central side three restaurants.
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
    fb::executeScript(att, QStringLiteral("SET TERM ^ ;\nexecute block as declare I bigint = 0; begin while (I < %1) "
                                          "do begin %2 I = I + 1; end end^\nSET TERM ; ^\n")
                               .arg(refeicoes)
                               .arg(corpo));
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qint64 refeicoes = 2000000;
    bool manter = false;
    for (const QString& a : app.arguments().mid(1)) {
        if (a == QLatin1String("--manter"))
            manter = true;
        else
            refeicoes = a.toLongLong();
    }
    const QDate mesDe(2025, 6, 1), mesAte(2025, 6, 30), anoDe(2025, 1, 1), anoAte(2025, 12, 31);
    try {
        const fb::ConnectionSettings local = novo("local"), central = novo("central");
        std::printf("banco local %s\n", qPrintable(local.database));
        fb::Attachment l = fb::Attachment::create(local, false);
        fb::executeScript(l, script("local.sql"));
        enche(l, refeicoes, false);
        std::printf("banco central %s\n", qPrintable(central.database));
        fb::Attachment c = fb::Attachment::create(central, false);
        fb::executeScript(c, script("central.sql"));
        enche(c, refeicoes, true);

        fb::Transaction tl(l), tc(c);
        auto tela = [&](const QDate& de, const QDate& ate) {
            return mede([&] {
                analitico::porDia(l, tl, de, ate);
                analitico::total(l, tl, de, ate);
                analitico::porConsumidor(l, tl, de, ate);
            });
        };
        auto comando = [&](const QDate& de, const QDate& ate) {
            return mede([&] { analitico::csv(analitico::porDia(l, tl, de, ate), analitico::total(l, tl, de, ate)); });
        };
        auto comandoCentral = [&](const QDate& de, const QDate& ate) {
            return mede([&] { analitico::csvCentral(analitico::centralPorDia(c, tc, de, ate)); });
        };
        std::printf("%lld refeições de 2022 a 2025; junho e o ano de 2025 (melhor de 3):\n",
                    static_cast<long long>(refeicoes));
        linha("tela (dias, totais, consumidores)", tela(mesDe, mesAte), tela(anoDe, anoAte));
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
