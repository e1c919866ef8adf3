#pragma once
// Fixed connection settings of the program: there is no configuration file for them.

#include "data/firebird.h"

namespace conexao {

// The restaurant's own database on this workstation's Firebird server.
fb::ConnectionSettings bancoLocal();
// The central database of a single-machine installation (the export reads its real place from
// the parameter store).
QString caminhoCentralPadrao();
QString servidorPadrao();
QString senhaPadrao();

} // namespace conexao
