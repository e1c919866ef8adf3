#include "testdb.h"

#include "data/conexao.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QUuid>

namespace {
QString schemaScript(TestDatabase::Kind kind)
{
    static QString local, central;
    QString& cached = kind == TestDatabase::Local ? local : central;
    if (cached.isEmpty()) {
        QFile f(QStringLiteral(COMEDAL_SOURCE_DIR "/data/%1.sql")
                    .arg(kind == TestDatabase::Local ? QStringLiteral("local") : QStringLiteral("central")));
        if (!f.open(QIODevice::ReadOnly))
            throw fb::Error(QStringLiteral("schema script missing: ") + f.fileName());
        cached = QString::fromUtf8(f.readAll());
    }
    return cached;
}
} // namespace

TestDatabase::TestDatabase(Kind kind)
{
    const QString name = QStringLiteral("/tmp/firebird/comedal-test-%1.fdb")
                             .arg(QUuid::createUuid().toString(QUuid::Id128).left(16));
    settings_ = {conexao::servidorPadrao() + u':' + name, QStringLiteral("SYSDBA"), conexao::senhaPadrao()};
    fb::Attachment att = fb::Attachment::create(settings_, false);
    fb::executeScript(att, schemaScript(kind));
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

void TestDatabase::exec(const QString& sql) const
{
    fb::Attachment att = attach();
    fb::executeScript(att, sql);
    att.detach();
}
