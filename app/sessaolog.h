#pragma once
// Rows of the session log (LOGUSUARIO): one per accepted login, one per user blocked at the login.

#include <QString>

// Writes a session-log row for the user, stamped now, and returns the key the database gave it.
// Errors reach the caller; the dataset is left closed either way.
double GravaLogUsuario(int usuario, const QString& versao);

// The login row of this run: its key goes to sessao().xxLogUsuario, where the exit writes the
// logout time. Errors are ignored: the run then simply has no login row (key 0).
void GuardaLoginUser(int w_User);
