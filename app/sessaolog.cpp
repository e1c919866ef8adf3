#include "app/sessaolog.h"

#include "common/sessao.h"
#include "data/arquivos.h"

namespace {

void fechaLog(Dataset& log)
{
    try {
        if (log.isEditing()) log.cancel();
        log.close();
    } catch (...) {
    }
}

double gravaLog(int usuario, const QString& versao, double* chave)
{
    Dataset& log = *Dados->LogEntrada;
    try {
        if (!log.active()) log.open();
        log.append();
        // ID stays empty for the insert trigger: a key predicted from the generator is another
        // workstation's when it logs in at the same moment.
        log["USUARIO"].setValue(usuario);
        log["SISTEMA"].setValue(Dados->SistemaCentral);
        log["ENTRADA"].setValue(agora());
        log["IP"].setValue(Dados->IpSistemaCentral);
        log["VERSAO"].setValue(versao);
        log.post(); // the data module commits and re-opens it empty
        const double id = log.chaveInserida().toDouble();
        if (chave) *chave = id;
        log.close();
        return id;
    } catch (...) {
        fechaLog(log);
        throw;
    }
}

} // namespace

double GravaLogUsuario(int usuario, const QString& versao)
{
    return gravaLog(usuario, versao, nullptr);
}

void GuardaLoginUser(int w_User)
{
    sessao().xxLogUsuario = 0; // no row written: the exit has none to close
    try {
        gravaLog(w_User, Dados->VersaoSistemaCentral, &sessao().xxLogUsuario);
    } catch (...) {
    }
}
