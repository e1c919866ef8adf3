#include "app/sessaolog.h"

#include "common/navegacao.h"
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
        const double id = CalcUltimoRegistro(QStringLiteral("GEN_LOGUSUARIO"), &Dados->fatura, &Dados->TransFatura);
        if (chave) *chave = id;
        log["ID"].setValue(qint64(id));
        log["USUARIO"].setValue(usuario);
        log["SISTEMA"].setValue(Dados->SistemaCentral);
        log["ENTRADA"].setValue(agora());
        log["IP"].setValue(Dados->IpSistemaCentral);
        log["VERSAO"].setValue(versao);
        log.post(); // the data module commits
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
    try {
        gravaLog(w_User, Dados->VersaoSistemaCentral, &sessao().xxLogUsuario);
    } catch (...) {
    }
}
