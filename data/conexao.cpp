#include "data/conexao.h"

namespace conexao {

QString servidorPadrao()
{
    return QStringLiteral("127.0.0.1/3050");
}

QString senhaPadrao()
{
    return QStringLiteral("masterkey");
}

fb::ConnectionSettings bancoLocal()
{
#ifdef Q_OS_WIN
    const QString path = QStringLiteral("C:\\RADEZOZ\\BANCO.FDB");
#else
    const QString path = QStringLiteral("/var/lib/comedal/banco.fdb");
#endif
    return {servidorPadrao() + u':' + path, QStringLiteral("SYSDBA"), senhaPadrao()};
}

QString caminhoCentralPadrao()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\SGBD\\BANCO.FDB");
#else
    return QStringLiteral("/var/lib/comedal/central.fdb");
#endif
}

} // namespace conexao
