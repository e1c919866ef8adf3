#include "common/regrasusuario.h"

bool ehAdministrador(const QVariant& id)
{
    bool ok = false;
    return !id.isNull() && id.toInt(&ok) == UsuarioAdministrador && ok;
}

QString recusaExcluirUsuario(const QVariant& id)
{
    if (!ehAdministrador(id)) return {};
    return QStringLiteral("O administrador do sistema (usuário 1) não pode ser excluído.");
}

QString recusaEstadoUsuario(const QVariant& id, const QString& ativo)
{
    if (!ehAdministrador(id) || ativo.trimmed() == QStringLiteral("S")) return {};
    return QStringLiteral("O administrador do sistema (usuário 1) não pode ser bloqueado nem cancelado: "
                          "deixe-o Ativo.");
}

QString avisoSemExpiracao(const QVariant& expira)
{
    if (!expira.isNull() && expira.isValid()) return {};
    return QStringLiteral("\"Senha Expira em\" não foi informada: o login recusará este usuário até que a data "
                          "seja preenchida.");
}
