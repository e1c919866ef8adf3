// bench_refeicao DATABASE: opens the shared meal list (newest first) and names its first 50 rows,
// as the "Listagem" tab shows them. Prints the time and the process's memory growth.
// Goal: under 50 ms and under 20 MB on 2,000,000 meals.
#include "data/arquivos.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {
long rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_refeicao BANCO [REPETICOES]\n");
        return 2;
    }
    const int repeticoes = argc > 2 ? atoi(argv[2]) : 5;
    try {
        TDados dados({QString::fromLocal8Bit(argv[1]), QStringLiteral("SYSDBA"), QStringLiteral("masterkey")});
        Dataset& r = *dados.Refeicao;
        QList<double> tempos;
        long crescimento = 0;
        for (int i = 0; i < repeticoes; ++i) {
            r.close();
            const long antes = rssKb();
            QElapsedTimer t;
            t.start();
            r.open();
            r.moveTo(49);
            QString nomes;
            for (int row = 0; row < 50; ++row)
                nomes += r.displayTextAt(row, int(r.fields().indexOf(&r.field(QStringLiteral("NOME")))));
            tempos << t.nsecsElapsed() / 1e6;
            crescimento = qMax(crescimento, rssKb() - antes);
            if (nomes.isEmpty()) std::fprintf(stderr, "nenhum nome encontrado\n");
        }
        std::sort(tempos.begin(), tempos.end());
        std::printf("abrir Refeicao + NOME de 50 linhas: mediana %.2f ms, melhor %.2f ms, pior %.2f ms; "
                    "memória +%ld KB; linhas lidas %d\n",
                    tempos[tempos.size() / 2], tempos.first(), tempos.last(), crescimento, r.recordCount());
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
