// bench_sincronizar [MEALS] [--rodadas=N] [--gravacao-forcada]
// Exports MEALS (100,000 unless given) pending meals from a fresh local database to a fresh central
// one and prints meals per second, against a baseline measured in the same run: the same rows
// inserted into another fresh central database by one prepared insert per row, committed every
// batch of the export's size. The databases are created with forced writes off (as the tests'
// are) unless --gravacao-forcada is given, and dropped at the end. The machine's load moves both
// figures a lot, so each of N rounds (3 unless given) measures both, and the medians are printed.
#include "data/conexao.h"
#include "data/firebird.h"
#include "weighing/xSincronizar.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

QString esquema(const char* nome)
{
    // The schema scripts sit in data/ beside this program's source.
    const QString caminho =
        QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../data/%1.sql").arg(QLatin1String(nome)));
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly)) throw fb::Error(QStringLiteral("esquema não encontrado: ") + caminho);
    return QString::fromUtf8(f.readAll());
}

struct Banco
{
    fb::ConnectionSettings s;
    fb::Attachment att;

    Banco(const char* tipo, const char* papel, bool forcada)
    {
        s = {conexao::servidorPadrao() +
                 QStringLiteral(":/tmp/firebird/bench-sinc-%1-%2.fdb").arg(QLatin1String(papel)).arg(getpid()),
             QStringLiteral("SYSDBA"), conexao::senhaPadrao()};
        att = fb::Attachment::create(s, forcada);
        fb::executeScript(att, esquema(tipo));
    }
    ~Banco()
    {
        try {
            att.dropDatabase();
        } catch (const fb::Error& e) {
            std::fprintf(stderr, "não apagou %s: %s\n", qPrintable(s.database), qPrintable(e.message()));
        }
    }
};

// n pending meals in one statement; every other one changed once (with its second audit group).
void preenche(Banco& local, int n)
{
    fb::Transaction tra(local.att);
    fb::Statement st(
        local.att, tra,
        QStringLiteral(
            "execute block (N integer = :N, V_DIA date = :DIA, V_IP varchar(16) = :IP, V_VERSAO varchar(20) = "
            ":VERSAO)\n"
            "as declare i integer = 0;\n"
            "begin\n"
            "  while (i < n) do begin\n"
            "    insert into REFEICAO (CPF, DATA, HORA, PESO, OBSERVACAO, USER1, DATAUSER1, IP1, VERSAO1,\n"
            "                          USER2, DATAUSER2, IP2, VERSAO2)\n"
            "    values (lpad(mod(:\"I\" * 7919, 99999999999), 11, '0'), dateadd(-mod(:\"I\", 365) day to "
            ":\"V_DIA\"),\n"
            "            dateadd(mod(:\"I\", 12600) second to time '10:30:00'), 0.150 + mod(:\"I\", 1250) / 1000.000,\n"
            "            iif(mod(:\"I\", 10) = 0, 'SEM SAL', null), 1, current_timestamp, :\"V_IP\", :\"V_VERSAO\",\n"
            "            iif(mod(:\"I\", 2) = 0, 2, null), iif(mod(:\"I\", 2) = 0, current_timestamp, null),\n"
            "            iif(mod(:\"I\", 2) = 0, :\"V_IP\", null), iif(mod(:\"I\", 2) = 0, :\"V_VERSAO\", null));\n"
            "    i = i + 1;\n"
            "  end\n"
            "end"));
    st.setParameter(QStringLiteral("N"), n);
    st.setParameter(QStringLiteral("DIA"), QDate::currentDate());
    st.setParameter(QStringLiteral("IP"), QStringLiteral("192.168.0.10"));
    st.setParameter(QStringLiteral("VERSAO"), QStringLiteral(COMEDAL_VERSION));
    st.execute();
    tra.commit();
}

struct Contagem : ProgressoExportacao
{
    int lotes = 0;
    void inicio(qint64) override {}
    bool lote(qint64, qint64) override
    {
        ++lotes;
        return true;
    }
    void fim() override {}
};

const QString Cnpj = QStringLiteral("11444777000161");

double porSegundo(qint64 n, qint64 ms)
{
    return ms > 0 ? n * 1000.0 / ms : 0.0;
}

struct Rodada
{
    double exportacao = 0, base = 0; // meals per second
};

// One round on fresh databases: the export, then the baseline over the same rows.
Rodada mede(int n, bool forcada)
{
    const int lote = ExportacaoRefeicoes::LotePadrao;
    Banco local("local", "local", forcada), central("central", "central", forcada), base("central", "base", forcada);
    preenche(local, n);
    Rodada r;
    QElapsedTimer t;

    {
        ExportacaoRefeicoes exp(local.att, central.att);
        Contagem c;
        t.start();
        const ExportacaoRefeicoes::Resultado res = exp.executa(Cnpj, &c);
        const qint64 ms = t.elapsed();
        if (!res.erro.isEmpty()) throw fb::Error(res.erro);
        if (res.exportadas != n) throw fb::Error(QStringLiteral("exportadas %1 de %2").arg(res.exportadas).arg(n));
        r.exportacao = porSegundo(res.exportadas, ms);
        std::printf("  exportação: %lld refeições em %.2f s, %d lotes de %d: %.0f refeições/s\n",
                    qlonglong(res.exportadas), ms / 1000.0, c.lotes, lote, r.exportacao);
    }

    // The same rows, already in memory, one prepared insert each, a commit per batch.
    fb::Transaction transLocal(local.att);
    fb::Statement sel(local.att, transLocal,
                      QStringLiteral("select ID, CPF, DATA, HORA, PESO, OBSERVACAO, USER1, DATAUSER1, IP1, VERSAO1, "
                                     "USER2, DATAUSER2, IP2, VERSAO2 from REFEICAO order by ID desc"));
    sel.execute();
    QVector<QVector<QVariant>> linhas;
    linhas.reserve(n);
    while (sel.fetch())
        linhas.push_back(sel.row());
    sel.close();
    transLocal.commit();

    const char* const colunas[] = {"IDEXTERNO", "CPF", "DATA",    "HORA",  "PESO",      "OBSERVACAO", "USER1",
                                   "DATAUSER1", "IP1", "VERSAO1", "USER2", "DATAUSER2", "IP2",        "VERSAO2"};
    QStringList nomes{QStringLiteral("CNPJ")}, valores{QStringLiteral(":CNPJ")};
    for (const char* c : colunas) {
        nomes << QLatin1String(c);
        valores << u':' + QLatin1String(c);
    }
    fb::Transaction tra(base.att);
    t.restart();
    fb::Statement ins(base.att, tra,
                      QStringLiteral("insert into REFEICAO (%1) values (%2)")
                          .arg(nomes.join(QStringLiteral(", ")), valores.join(QStringLiteral(", "))));
    ins.setParameter(QStringLiteral("CNPJ"), Cnpj);
    int desdeCommit = 0;
    for (const QVector<QVariant>& l : linhas) {
        for (int c = 0; c < 14; ++c)
            ins.setParameter(QLatin1String(colunas[c]), l[c]);
        ins.execute();
        if (++desdeCommit == lote) {
            tra.commitRetaining();
            desdeCommit = 0;
        }
    }
    tra.commitRetaining();
    const qint64 ms = t.elapsed();
    tra.commit();
    r.base = porSegundo(linhas.size(), ms);
    std::printf("  base (insert preparado por linha, commit a cada %d): %lld linhas em %.2f s: %.0f linhas/s\n", lote,
                qlonglong(linhas.size()), ms / 1000.0, r.base);
    std::printf("  razão: %.2f\n", r.base > 0 ? r.exportacao / r.base : 0.0);
    std::fflush(stdout);
    return r;
}

double mediana(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int n = 100000, rodadas = 3;
    bool forcada = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--gravacao-forcada")
            forcada = true;
        else if (a.startsWith("--rodadas=") && a.mid(10).toInt() > 0)
            rodadas = a.mid(10).toInt();
        else if (a.toInt() > 0)
            n = a.toInt();
        else {
            std::fprintf(stderr, "uso: bench_sincronizar [REFEICOES] [--rodadas=N] [--gravacao-forcada]\n");
            return 2;
        }
    }

    try {
        std::printf("%d refeições pendentes por rodada, %d rodadas, gravação forçada: %s\n", n, rodadas,
                    forcada ? "sim" : "não");
        QList<double> exportacao, base, razao;
        for (int r = 1; r <= rodadas; ++r) {
            std::printf("rodada %d\n", r);
            const Rodada m = mede(n, forcada);
            exportacao << m.exportacao;
            base << m.base;
            razao << (m.base > 0 ? m.exportacao / m.base : 0.0);
        }
        std::printf("mediana: exportação %.0f refeições/s, base %.0f linhas/s, razão %.2f "
                    "(metas: >= 10000 refeições/s e >= 1,5 vezes a base)\n",
                    mediana(exportacao), mediana(base), mediana(razao));
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
