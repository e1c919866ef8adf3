// comedal-relatorio [--banco DSN] [--central] DE ATE
// The daily meal figures of a period as CSV on standard output, the same table as the report
// screen: for the monthly statement to the funder and for scripts. --central reads the central
// database, one line per restaurant and day.
#include "common/analiticodia.h"
#include "data/conexao.h"
#include "data/firebird.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

int falha(const QString& mensagem, int codigo = 1)
{
    std::fprintf(stderr, "%s\n", mensagem.toUtf8().constData());
    return codigo;
}

const char Uso[] = "uso: comedal-relatorio [--banco BANCO] [--central] DE ATE  (datas dd/mm/aaaa)";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString banco;
    bool central = false;
    QStringList datas;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--banco")) {
            if (++i == args.size()) return falha(QString::fromUtf8(Uso), 2);
            banco = args[i];
        } else if (args[i] == QLatin1String("--central")) {
            central = true;
        } else if (args[i].startsWith(QLatin1String("--"))) {
            return falha(QStringLiteral("Opção desconhecida: %1\n%2").arg(args[i], QString::fromUtf8(Uso)), 2);
        } else {
            datas << args[i];
        }
    }
    if (datas.size() != 2) return falha(QString::fromUtf8(Uso), 2);
    const QDate de = analitico::data(datas[0]), ate = analitico::data(datas[1]);
    for (int i = 0; i < 2; ++i)
        if (!(i == 0 ? de : ate).isValid())
            return falha(QStringLiteral("Data inválida: %1 (use dd/mm/aaaa)").arg(datas[i]), 2);
    if (de > ate) return falha(QStringLiteral("A data inicial %1 é posterior à final %2").arg(datas[0], datas[1]), 2);

    fb::ConnectionSettings conexao = conexao::bancoLocal();
    if (central) conexao.database = conexao::servidorPadrao() + u':' + conexao::caminhoCentralPadrao();
    if (!banco.isEmpty()) conexao.database = banco;
    QString saida;
    try {
        fb::Attachment att = fb::Attachment::attach(conexao);
        fb::Transaction tra(att);
        // A long period is read in two halves at once, the second on a connection of its own.
        const analitico::Conexao outra = [&conexao] { return fb::Attachment::attach(conexao); };
        if (central) {
            saida = analitico::csvCentral(analitico::centralPorDia(att, tra, de, ate, outra));
        } else {
            const Analitico a = analitico::tabela(att, tra, de, ate, outra);
            saida = analitico::csv(a.dias, a.total);
        }
        tra.commit();
        att.detach();
    } catch (const fb::Error& e) {
        return falha(QStringLiteral("Não foi possível ler o banco %1: %2").arg(conexao.database, e.message()));
    }
    const QByteArray bytes = saida.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
