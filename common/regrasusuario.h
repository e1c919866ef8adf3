#pragma once
// Rules of the user registry that the login depends on: the administrator (user 1) is the way
// back into the system's administration, so it can be neither removed nor locked out; a user
// without a password expiry date cannot log in at all.

#include <QString>
#include <QVariant>

inline constexpr int UsuarioAdministrador = 1;

bool ehAdministrador(const QVariant& id);
// Why the user cannot be deleted; empty when it can.
QString recusaExcluirUsuario(const QVariant& id);
// Why the user cannot be given this state (ATIVO: "S" active, "B" blocked, "N" cancelled); empty when it can.
QString recusaEstadoUsuario(const QVariant& id, const QString& ativo);
// The warning when a user is saved without "Senha Expira em"; empty when the date is there.
QString avisoSemExpiracao(const QVariant& expira);
