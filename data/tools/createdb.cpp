// comedal-createdb DATABASE SCRIPT: creates DATABASE on the server and runs SCRIPT in it.
// Refuses to touch a database that already exists. SYSDBA's password: ISC_PASSWORD, else the program's own.
#include "data/conexao.h"
#include "data/firebird.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "uso: comedal-createdb BANCO SCRIPT\n");
        return 2;
    }
    QFile script(QString::fromLocal8Bit(argv[2]));
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "não foi possível ler %s\n", argv[2]);
        return 1;
    }
    fb::ConnectionSettings s{QString::fromLocal8Bit(argv[1]), QStringLiteral("SYSDBA"),
                             qEnvironmentVariable("ISC_PASSWORD", conexao::senhaPadrao())};
    try {
        fb::Attachment att = fb::Attachment::create(s);
        try {
            fb::executeScript(att, QString::fromUtf8(script.readAll()));
        } catch (...) {
            att.dropDatabase(); // a half-built database is worse than none
            throw;
        }
        att.detach();
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
