#pragma once
// Values of the running session that the main window keeps and every screen reads: who is
// logged in, this run's session-log row, the application's name and colours, the supplier.

#include <QDateTime>
#include <QString>
#include <functional>

struct Sessao
{
    QString UsuarioEmUso;    // key of the logged-in user as decimal text; "1" is the administrator
    double xxLogUsuario = 0; // key of this run's LOGUSUARIO row
    QString NomeAplicativo = QStringLiteral("COMEDAL");
    quint32 corprincipal = 0x243147;
    quint32 corsecundaria = 0xA6CAF0;
    // The supplier's details, shown by the About window.
    QString NomeEmpresa = QStringLiteral("Comedal Sistemas");
    QString telefone = QStringLiteral("(71) 3000-0000");
    QString endereco = QStringLiteral("Avenida Sete de Setembro, 100 - Salvador - BA");
    QString emailcoorporativo = QStringLiteral("suporte@comedal.com.br");
    QString sitecoorporativo = QStringLiteral("www.comedal.com.br");
    QString telefoneSuporte = QStringLiteral("(71) 99999-0000");
};

Sessao& sessao();

// The one clock of the program: expiry, login hours, audit and export moments read it, so tests
// can set the time.
QDateTime agora();
void defineRelogio(std::function<QDateTime()> relogio); // empty function: the real clock again
