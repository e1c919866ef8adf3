// comedal-administrador DATABASE [--pendente | CPF NASCIMENTO CELULAR]
// The administrator's (user 1) CPF, birth date and mobile number: a recovered password is only
// sent to a user found by CPF and birth date, to the mobile number on record, and a new database
// carries a placeholder CPF for the administrator. Without further arguments it shows them;
// --pendente exits 0 when they are still the placeholder's (the set-up then asks for them).
#include "common/regrasusuario.h"
#include "common/texto.h"
#include "data/conexao.h"
#include "data/firebird.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <cstdio>

namespace {

const QString CpfDaInstalacao = QStringLiteral("00000000000");

int falha(const QString& mensagem)
{
    std::fprintf(stderr, "%s\n", mensagem.toUtf8().constData());
    return 1;
}

QString soDigitos(const QString& texto, const QString& permitidos)
{
    QString d;
    for (QChar c : texto)
        if (c.isDigit())
            d += c;
        else if (!permitidos.contains(c) && !c.isSpace())
            return QStringLiteral("-"); // a letter or stray sign: not a number at all
    return d;
}

QString cpfDigitado(const QString& texto, QString& motivo)
{
    const QString c = soDigitos(texto, QStringLiteral(".-"));
    if (c.size() != 11 || !cpf(c) || c == CpfDaInstalacao) {
        motivo = QStringLiteral("CPF inválido: %1 (são 11 dígitos com os dois verificadores corretos)").arg(texto);
        return {};
    }
    return c;
}

QDate nascimentoDigitado(const QString& texto, QString& motivo)
{
    QDate d;
    for (const char* formato : {"dd/MM/yyyy", "ddMMyyyy", "yyyy-MM-dd"}) {
        d = QDate::fromString(texto.trimmed(), QString::fromLatin1(formato));
        if (d.isValid()) break;
    }
    const QDate hoje = QDate::currentDate();
    if (!d.isValid() || d < QDate(1900, 1, 1) || d > hoje.addYears(-14)) {
        motivo = QStringLiteral("Data de nascimento inválida: %1 (use dd/mm/aaaa)").arg(texto);
        return {};
    }
    return d;
}

QString celularDigitado(const QString& texto, QString& motivo)
{
    const QString c = soDigitos(texto, QStringLiteral("()-+"));
    if (c.size() != 10 && c.size() != 11) {
        motivo = QStringLiteral("Celular inválido: %1 (DDD e número, 10 ou 11 dígitos)").arg(texto);
        return {};
    }
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool pendente = argc == 3 && qstrcmp(argv[2], "--pendente") == 0;
    if (argc != 2 && argc != 5 && !pendente) {
        std::fprintf(stderr, "uso: comedal-administrador BANCO [--pendente | CPF NASCIMENTO CELULAR]\n");
        return 2;
    }
    QString motivo, cpfNovo, celular;
    QDate nascimento;
    if (argc == 5) {
        cpfNovo = cpfDigitado(QString::fromLocal8Bit(argv[2]), motivo);
        if (motivo.isEmpty()) nascimento = nascimentoDigitado(QString::fromLocal8Bit(argv[3]), motivo);
        if (motivo.isEmpty()) celular = celularDigitado(QString::fromLocal8Bit(argv[4]), motivo);
        if (!motivo.isEmpty()) return falha(motivo);
    }

    try {
        fb::Attachment att =
            fb::Attachment::attach({QString::fromLocal8Bit(argv[1]), QStringLiteral("SYSDBA"), conexao::senhaPadrao()});
        fb::Transaction tra(att);
        if (!cpfNovo.isEmpty()) {
            // The recovery finds the user by CPF: two users with one CPF would make it ambiguous.
            fb::Statement outro(att, tra,
                                QStringLiteral("select first 1 NOME from USUARIOS where CPF = :CPF and ID <> :ID"));
            outro.setParameter(QStringLiteral("CPF"), cpfNovo);
            outro.setParameter(QStringLiteral("ID"), UsuarioAdministrador);
            outro.execute();
            if (outro.fetch())
                return falha(
                    QStringLiteral("O CPF %1 já é do usuário %2.").arg(cpfNovo, outro.value(0).toString().trimmed()));
            outro.close();
            fb::Statement grava(att, tra,
                                QStringLiteral("update USUARIOS set CPF = :CPF, NASCIMENTO = :NASCIMENTO, "
                                               "CELULAR = :CELULAR, DATAUSER2 = :AGORA where ID = :ID"));
            grava.setParameter(QStringLiteral("CPF"), cpfNovo);
            grava.setParameter(QStringLiteral("NASCIMENTO"), nascimento);
            grava.setParameter(QStringLiteral("CELULAR"), celular);
            grava.setParameter(QStringLiteral("AGORA"), QDateTime::currentDateTime());
            grava.setParameter(QStringLiteral("ID"), UsuarioAdministrador);
            grava.execute();
            if (grava.affectedRows() == 0) return falha(QStringLiteral("O banco não tem o administrador (usuário 1)."));
        }
        fb::Statement mostra(att, tra, QStringLiteral("select CPF, NASCIMENTO, CELULAR from USUARIOS where ID = :ID"));
        mostra.setParameter(QStringLiteral("ID"), UsuarioAdministrador);
        mostra.execute();
        const bool existe = mostra.fetch();
        const QString cpfGuardado = existe ? mostra.value(0).toString().trimmed() : QString();
        const bool semDados =
            !existe || cpfGuardado == CpfDaInstalacao || mostra.value(2).toString().trimmed().isEmpty();
        if (!pendente) {
            if (existe)
                std::printf("Administrador: CPF %s, nascimento %s, celular %s%s\n", cpfGuardado.toUtf8().constData(),
                            mostra.value(1).toDate().toString(QStringLiteral("dd/MM/yyyy")).toUtf8().constData(),
                            mostra.value(2).toString().trimmed().toUtf8().constData(),
                            semDados ? "  <- sem CPF e celular próprios, a recuperação de senha não o atende" : "");
            else
                std::printf("O banco não tem o administrador (usuário 1).\n");
        }
        mostra.close();
        tra.commit();
        att.detach();
        if (pendente) return semDados ? 0 : 1;
    } catch (const fb::Error& e) {
        if (e.isLockConflict())
            return falha(
                QStringLiteral("O cadastro do administrador está sendo alterado em outra estação; tente de novo."));
        return falha(e.message());
    }
    return 0;
}
