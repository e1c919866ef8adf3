// bench_pessagem DATABASE [MEALS]
// The counter screen's database work on a filled database (see bench_fill): for each of MEALS meals
// (200 unless given) Incluir, the CPF given to the field (check digits, consumer lookup, name and the
// consumer's meals of the day shown), the weight, and Confirmar (the day's limit, post,
// commit-retaining, re-read, the meal selected by its key), timed through the screen; then the
// same meal's statements alone, as the screen runs them; then each navigation move and the opening
// of the "Listagem" tab. Prints median, 90th percentile and worst time of each. The meals
// registered stay in the database.
#include "common/global.h"
#include "common/parametros.h"
#include "common/ui/dbgrid.h"
#include "data/arquivos.h"
#include "data/conexao.h"
#include "weighing/xPessagem.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

double ms(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

void relata(const char* o_que, std::vector<double> v, double meta)
{
    if (v.empty()) return;
    std::sort(v.begin(), v.end());
    const double mediana = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    const double p90 = v[std::min(v.size() - 1, v.size() * 9 / 10)];
    std::printf("%-52s n=%4zu  melhor %7.2f  mediana %7.2f  p90 %7.2f  pior %7.2f ms", o_que, v.size(), v.front(),
                mediana, p90, v.back());
    if (meta > 0) std::printf("  (meta < %g ms: %s)", meta, mediana < meta ? "ok" : "NÃO");
    std::printf("\n");
    std::fflush(stdout);
}

qint64 umValor(fb::Attachment& att, fb::Transaction& tra, const QString& sql)
{
    fb::Statement s(att, tra, sql);
    s.execute();
    return s.fetch() ? s.value(0).toLongLong() : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "uso: bench_pessagem BANCO [REFEICOES]\n"
                             "  ex.: bench_pessagem 127.0.0.1/3050:/tmp/firebird/bench.fdb 200\n");
        return 2;
    }
    const int n = argc == 3 ? QByteArray(argv[2]).toInt() : 200;
    if (n < 1) {
        std::fprintf(stderr, "quantidade inválida\n");
        return 2;
    }

    DialogosRoteirizados caixas; // every box answered at once and recorded
    defineDialogos(&caixas);
    sessao().UsuarioEmUso = QStringLiteral("1");
    // The limit of the day is counted at every Confirmar; set high enough never to ask.
    parametros().VetorConfig = QStringList{QStringLiteral("LimiteRefeicoesDia")};
    parametros().VetorConfigVal = QStringList{QStringLiteral("99")};

    try {
        TDados dados({QString::fromLocal8Bit(argv[1]), QStringLiteral("SYSDBA"), conexao::senhaPadrao()});
        fb::Attachment& att = dados.fatura;
        fb::Transaction& tra = dados.TransFatura;

        QElapsedTimer t;
        t.start();
        const qint64 clientes = umValor(att, tra, QStringLiteral("select count(*) from CLIENTE"));
        const qint64 refeicoes = umValor(att, tra, QStringLiteral("select count(*) from REFEICAO"));
        std::printf("banco: %lld clientes, %lld refeições (contadas em %.1f s)\n", qlonglong(clientes),
                    qlonglong(refeicoes), ms(t) / 1000);
        if (clientes == 0) {
            std::fprintf(stderr, "o banco não tem clientes: encha-o antes com bench_fill\n");
            return 1;
        }

        // Registered CPFs drawn at random over the whole register, read before any timing.
        const qint64 maiorCliente = umValor(att, tra, QStringLiteral("select max(ID) from CLIENTE"));
        std::mt19937_64 sorte(42);
        std::uniform_int_distribution<qint64> qualquer(1, maiorCliente);
        QStringList cpfs;
        {
            fb::Statement s(att, tra, QStringLiteral("select CPF from CLIENTE where ID = :ID"));
            while (cpfs.size() < n) {
                s.setParameter(QStringLiteral("ID"), qualquer(sorte));
                s.execute();
                if (s.fetch()) cpfs << s.value(0).toString();
                s.close();
            }
        }

        // The server's own latency right now: one prepared one-row query, executed and read.
        std::vector<double> idaEVolta;
        {
            fb::Statement s(att, tra, QStringLiteral("select 1 from RDB$DATABASE"));
            for (int i = 0; i < 200; ++i) {
                QElapsedTimer m;
                m.start();
                s.execute();
                s.fetch();
                s.close();
                idaEVolta.push_back(ms(m));
            }
        }
        relata("referência: consulta preparada de uma linha", idaEVolta, 0);
        // The same one-row question about a client, prepared again each time, then kept prepared.
        {
            std::vector<double> nova, mantida;
            const QString sql = QStringLiteral("SELECT ID, NOME FROM CLIENTE\nWHERE CPF=:CPF");
            fb::Statement s(att, tra, sql);
            for (int i = 0; i < 200; ++i) {
                QElapsedTimer m;
                m.start();
                {
                    fb::Statement c(att, tra, sql);
                    c.setParameter(QStringLiteral("CPF"), cpfs[i % cpfs.size()]);
                    c.execute();
                    c.fetch();
                    c.close();
                }
                nova.push_back(ms(m));
                m.restart();
                s.setParameter(QStringLiteral("CPF"), cpfs[(i + 1) % cpfs.size()]);
                s.execute();
                s.fetch();
                s.close();
                mantida.push_back(ms(m));
            }
            relata("referência: consumidor, consulta preparada a cada vez", nova, 0);
            relata("referência: consumidor, consulta mantida preparada", mantida, 0);
        }
        // What a durable commit costs on this disk: one row rewritten with its own values.
        std::vector<double> commits;
        {
            const qint64 ultima = umValor(att, tra, QStringLiteral("select max(ID) from REFEICAO"));
            fb::Statement u(att, tra, QStringLiteral("update REFEICAO set PESO = PESO where ID = :ID"));
            u.setParameter(QStringLiteral("ID"), ultima);
            for (int i = 0; i < 50; ++i) {
                u.execute();
                QElapsedTimer m;
                m.start();
                tra.commitRetaining();
                commits.push_back(ms(m));
            }
        }
        relata("referência: commit-retaining de uma linha alterada", commits, 0);

        t.restart();
        TPessagem tela;
        const double abertura = ms(t);
        tela.resize(1000, 700);
        tela.show();
        QApplication::processEvents();
        tela.mostraCupom = [](TCupom&) {};
        Dataset& r = *tela.Refeicao;
        std::printf("tela aberta em %.2f ms na refeição %s\n", abertura, qPrintable(r.field("ID").asString()));

        // ---- one meal at the counter
        std::uniform_int_distribution<int> gramas(150, 1200);
        std::vector<double> tempoCpf, grava, total;
        // Each step is its own action, as at the counter: the event loop runs between them.
        auto passo = [](auto&& f) {
            QElapsedTimer m;
            m.start();
            f();
            const double d = ms(m);
            QApplication::processEvents();
            return d;
        };
        for (int i = 0; i < n; ++i) {
            const double c = passo([&] {
                tela.IncluirClick();
                r.field(QStringLiteral("CPF")).setText(cpfs[i]);
            });
            r.field(QStringLiteral("PESO")).setValue(gramas(sorte) / 1000.0); // what "Pesar" stores
            // Confirmar as the button runs it: the day's limit counted again, the post (insert,
            // commit-retaining, re-read), the meal just stored selected by its key.
            const double p = passo([&] { tela.ConfirmarClick(); });
            tempoCpf.push_back(c);
            grava.push_back(p);
            total.push_back(c + p);
            if (r.isEditing() || r.field(QStringLiteral("CPF")).asString() != cpfs[i]) {
                std::fprintf(stderr, "a refeição %d não foi gravada como esperado\n", i);
                return 1;
            }
        }
        relata("refeição: Incluir + C.P.F. (validação, consumidor, refeições do dia)", tempoCpf, 0);
        relata("refeição: Confirmar (limite do dia, post, commit-retaining, releitura)", grava, 0);
        relata("refeição completa pela tela (banco e caixas da tela)", total, 0);

        // ---- the same meal's database work alone: the statements the screen runs for it, each
        // prepared as the screen prepares it, without the boxes it fills on the way.
        {
            std::vector<double> banco;
            const QDate hoje = QDate::currentDate();
            auto diaDoConsumidor = [&](const QString& cpf, const QVariant& id) {
                QString sql =
                    QStringLiteral("select count(*), max(HORA) from REFEICAO where CPF = :CPF and DATA = :DATA");
                if (!id.isNull()) sql += QStringLiteral(" and ID < :ID");
                fb::Statement c(att, tra, sql);
                c.setParameter(QStringLiteral("CPF"), cpf);
                c.setParameter(QStringLiteral("DATA"), hoje);
                if (!id.isNull()) c.setParameter(QStringLiteral("ID"), id);
                c.executeOne();
                return c.value(0).toInt();
            };
            for (int i = 0; i < n; ++i) {
                const QString& cpf = cpfs[(i + n / 2) % n];
                QElapsedTimer m;
                m.start();
                {
                    fb::Statement c(att, tra, QStringLiteral("SELECT ID, NOME FROM CLIENTE\nWHERE CPF=:CPF"));
                    c.setParameter(QStringLiteral("CPF"), cpf);
                    c.execute();
                    c.fetch();
                }
                diaDoConsumidor(cpf, {}); // shown beside the name
                diaDoConsumidor(cpf, {}); // the day's limit, at Confirmar
                QVariant id;
                {
                    fb::Statement g(att, tra,
                                    QStringLiteral("insert into REFEICAO (ID, CPF, DATA, HORA, PESO, USER1, DATAUSER1, "
                                                   "IP1, VERSAO1) values (:ID, :CPF, :DATA, :HORA, :PESO, 1, "
                                                   ":DATAUSER1, '127.0.0.1', 'bench') returning ID"));
                    g.setParameter(QStringLiteral("CPF"), cpf);
                    g.setParameter(QStringLiteral("DATA"), hoje);
                    g.setParameter(QStringLiteral("HORA"), QTime::currentTime());
                    g.setParameter(QStringLiteral("PESO"), gramas(sorte) / 1000.0);
                    g.setParameter(QStringLiteral("DATAUSER1"), QDateTime::currentDateTime());
                    g.execute();
                    id = g.value(0);
                }
                diaDoConsumidor(cpf, id); // the stored meal's place in the day
                tra.commitRetaining();
                {
                    fb::Statement l(att, tra,
                                    QStringLiteral("select * from REFEICAO\nWHERE ID = :ID\nORDER BY ID DESC"));
                    l.setParameter(QStringLiteral("ID"), id);
                    l.execute();
                    l.fetch();
                }
                banco.push_back(ms(m));
            }
            relata("refeição: trabalho de banco do balcão (consumidor, dia, limite, gravação, releitura)", banco, 5);
        }

        // ---- navigation, from the newest meal
        auto move = [&](int atitude) {
            QElapsedTimer m;
            m.start();
            tela.Button1Click(atitude);
            const double d = ms(m);
            QApplication::processEvents();
            return d;
        };
        std::vector<double> anterior, proximo, primeiro, ultimo;
        tela.Button1Click(4);
        for (int i = 0; i < n; ++i)
            anterior.push_back(move(2));
        for (int i = 0; i < n; ++i)
            proximo.push_back(move(3));
        for (int i = 0; i < n / 4 + 1; ++i) {
            primeiro.push_back(move(1));
            ultimo.push_back(move(4));
        }
        relata("navegação: registro anterior", anterior, 10);
        relata("navegação: próximo registro", proximo, 10);
        relata("navegação: primeiro registro", primeiro, 10);
        relata("navegação: último registro", ultimo, 10);

        // ---- the list: re-read on showing the tab, the first screenful fetched and drawn
        auto* abas = tela.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        auto* grade = tela.findChild<DBGrid*>(QStringLiteral("DBGrid1"));
        std::vector<double> listagem;
        int linhas = 0;
        for (int i = 0; i < 30; ++i) {
            abas->setCurrentIndex(0);
            QApplication::processEvents();
            QElapsedTimer m;
            m.start();
            abas->setCurrentIndex(1);
            QApplication::processEvents();
            grade->viewport()->repaint();
            listagem.push_back(ms(m));
            linhas = grade->model()->rowCount();
        }
        abas->setCurrentIndex(0);
        relata("abrir \"Listagem\" (reabrir a lista e desenhá-la)", listagem, 50);
        std::printf("linhas lidas pela grade ao abrir: %d\n", linhas);

        if (!caixas.textos().isEmpty())
            std::printf("caixas mostradas: %s\n", qPrintable(caixas.textos().join(QStringLiteral(" | "))));
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    defineDialogos(nullptr);
    return 0;
}
