// comedal-upgradedb DATABASE local|central: brings a database made by an earlier version up to date.
// Every step applied is recorded in the database; running it again changes nothing.
// SYSDBA's password: ISC_PASSWORD (a central server's own), else the program's.
#include "data/atualizacao.h"
#include "data/conexao.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3 || (std::strcmp(argv[2], "local") != 0 && std::strcmp(argv[2], "central") != 0)) {
        std::fprintf(stderr, "uso: comedal-upgradedb BANCO local|central\n");
        return 2;
    }
    const auto banco = std::strcmp(argv[2], "central") == 0 ? atualizacao::Banco::Central : atualizacao::Banco::Local;
    try {
        fb::Attachment att = fb::Attachment::attach({QString::fromLocal8Bit(argv[1]), QStringLiteral("SYSDBA"),
                                                     qEnvironmentVariable("ISC_PASSWORD", conexao::senhaPadrao())});
        for (const atualizacao::Passo& p : atualizacao::aplica(att, banco)) {
            std::printf("atualização %d aplicada: %s\n", p.numero, p.descricao.toUtf8().constData());
            if (!p.aviso.isEmpty()) std::printf("  atenção: %s\n", p.aviso.toUtf8().constData());
        }
        att.detach();
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
