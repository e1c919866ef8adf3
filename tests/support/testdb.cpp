#include "testdb.h"

#include "data/conexao.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QUuid>
#include <pwd.h>
#include <unistd.h>

namespace {
QString schemaScript(TestDatabase::Kind kind)
{
    static QString local, central;
    QString& cached = kind == TestDatabase::Local ? local : central;
    if (cached.isEmpty()) {
        QFile f(QStringLiteral(COMEDAL_SOURCE_DIR "/data/%1.sql")
                    .arg(kind == TestDatabase::Local ? QStringLiteral("local") : QStringLiteral("central")));
        if (!f.open(QIODevice::ReadOnly)) throw fb::Error(QStringLiteral("schema script missing: ") + f.fileName());
        cached = QString::fromUtf8(f.readAll());
    }
    return cached;
}
} // namespace

namespace {
fb::ConnectionSettings settingsFor(const QString& file)
{
    return {conexao::servidorPadrao() + u':' + file, QStringLiteral("SYSDBA"), conexao::senhaPadrao()};
}

void buildFromScript(const QString& file, TestDatabase::Kind kind)
{
    fb::Attachment att = fb::Attachment::create(settingsFor(file), false);
    fb::executeScript(att, schemaScript(kind));
    att.detach();
}

// Building a database from its script takes about a second; copying a built one takes a
// millisecond. The server's files belong to its own user, so copying needs root. The template's
// name goes as soon as it is built and the copies are made from the open file, so nothing stays in
// the server's folder however the test program ends.
QString templateFor(TestDatabase::Kind kind)
{
    static QFile templates[2];
    QFile& t = templates[kind];
    if (!t.isOpen()) {
        const QString file = QStringLiteral("/tmp/firebird/comedal-template-%1-%2.fdb").arg(int(kind)).arg(getpid());
        buildFromScript(file, kind);
        t.setFileName(file);
        const bool aberto = t.open(QIODevice::ReadOnly);
        QFile::remove(file);
        if (!aberto) return {};
    }
    return QStringLiteral("/proc/self/fd/%1").arg(t.handle());
}
} // namespace

TestDatabase::TestDatabase(Kind kind)
{
    const QString name =
        QStringLiteral("/tmp/firebird/comedal-test-%1.fdb").arg(QUuid::createUuid().toString(QUuid::Id128).left(16));
    settings_ = settingsFor(name);
    const passwd* fbUser = getpwnam("firebird");
    if (geteuid() == 0 && fbUser && QFile::copy(templateFor(kind), name) &&
        chown(name.toLocal8Bit().constData(), fbUser->pw_uid, fbUser->pw_gid) == 0)
        return;
    buildFromScript(name, kind);
}

TestDatabase::TestDatabase(const QString& scriptFromSource)
{
    settings_ = settingsFor(
        QStringLiteral("/tmp/firebird/comedal-test-%1.fdb").arg(QUuid::createUuid().toString(QUuid::Id128).left(16)));
    QFile f(QStringLiteral(COMEDAL_SOURCE_DIR "/") + scriptFromSource);
    if (!f.open(QIODevice::ReadOnly)) throw fb::Error(QStringLiteral("schema script missing: ") + f.fileName());
    fb::Attachment att = fb::Attachment::create(settings_, false);
    fb::executeScript(att, QString::fromUtf8(f.readAll()));
    att.detach();
}

TestDatabase::~TestDatabase()
{
    try {
        fb::Attachment att = attach();
        att.dropDatabase();
    } catch (const fb::Error& e) {
        qWarning("could not drop test database %s: %s", qPrintable(settings_.database), qPrintable(e.message()));
    }
}

int TestDatabase::serverPort() const
{
    const QString& banco = settings_.database;
    const qsizetype barra = banco.indexOf(u'/'), doisPontos = banco.indexOf(u':');
    return banco.mid(barra + 1, doisPontos - barra - 1).toInt();
}

fb::ConnectionSettings TestDatabase::throughPort(int port) const
{
    fb::ConnectionSettings s = settings_;
    s.database = QStringLiteral("127.0.0.1/%1").arg(port) + s.database.mid(s.database.indexOf(u':'));
    return s;
}

void TestDatabase::exec(const QString& sql) const
{
    fb::Attachment att = attach();
    fb::executeScript(att, sql);
    att.detach();
}

QVariant TestDatabase::valor(const QString& sql) const
{
    fb::Attachment att = attach();
    fb::Transaction tra(att);
    fb::Statement s(att, tra, sql);
    s.execute();
    return s.fetch() ? s.value(0) : QVariant();
}
