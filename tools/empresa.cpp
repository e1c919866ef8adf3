// comedal-empresa DATABASE [CNPJ "RAZÃO SOCIAL" ["NOME FANTASIA"]]
// Enters the restaurant's own company into the local database: the CNPJ every exported meal is
// stamped with, and the corporate name. The company screen keeps both read-only, so this is where
// the installer sets them. Without CNPJ it only shows the company as stored.
#include "common/texto.h"
#include "data/conexao.h"
#include "data/firebird.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

namespace {

QString mascaraCnpj(const QString& c)
{
    if (c.size() != 14) return c;
    return QStringLiteral("%1.%2.%3/%4-%5").arg(c.left(2), c.mid(2, 3), c.mid(5, 3), c.mid(8, 4), c.mid(12, 2));
}

int falha(const QString& mensagem)
{
    std::fprintf(stderr, "%s\n", mensagem.toUtf8().constData());
    return 1;
}

// The CNPJ as typed, punctuation and blanks left out; empty with the reason in motivo when it cannot be used.
QString cnpjDigitado(const QString& texto, QString& motivo)
{
    QString c;
    for (QChar ch : texto)
        if (ch != u'.' && ch != u'/' && ch != u'-' && !ch.isSpace()) c += ch;
    if (!cnpjValido(c)) {
        motivo = QStringLiteral("CNPJ inválido: %1 (são 14 dígitos com os dois verificadores corretos)").arg(texto);
        return {};
    }
    if (c == QStringView(CnpjDeExemplo)) {
        motivo =
            QStringLiteral("%1 é o CNPJ de exemplo da instalação; informe o CNPJ do restaurante").arg(mascaraCnpj(c));
        return {};
    }
    return c;
}

bool nomeAceito(const QString& nome, const char* campo, QString& motivo)
{
    if (nome.isEmpty()) {
        motivo = QStringLiteral("Informe %1").arg(QString::fromUtf8(campo));
        return false;
    }
    if (nome.size() > 50) {
        motivo = QStringLiteral("%1 tem mais de 50 caracteres").arg(QString::fromUtf8(campo));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 4 && argc != 5) {
        std::fprintf(stderr, "uso: comedal-empresa BANCO [CNPJ \"RAZÃO SOCIAL\" [\"NOME FANTASIA\"]]\n");
        return 2;
    }
    QString motivo;
    QString cnpj, razao, fantasia;
    if (argc > 2) {
        cnpj = cnpjDigitado(QString::fromLocal8Bit(argv[2]), motivo);
        if (cnpj.isEmpty()) return falha(motivo);
        razao = QString::fromLocal8Bit(argv[3]).trimmed();
        if (!nomeAceito(razao, "a razão social", motivo)) return falha(motivo);
        if (argc == 5) {
            fantasia = QString::fromLocal8Bit(argv[4]).trimmed();
            if (!nomeAceito(fantasia, "o nome fantasia", motivo)) return falha(motivo);
        }
    }

    try {
        fb::Attachment att =
            fb::Attachment::attach({QString::fromLocal8Bit(argv[1]), QStringLiteral("SYSDBA"), conexao::senhaPadrao()});
        fb::Transaction tra(att);
        if (!cnpj.isEmpty()) {
            // The one company row; a database without one gets it.
            fb::Statement grava(att, tra,
                                QStringLiteral("update EMPRESAS set CNPJ = :CNPJ, RAZAOSOCIAL = :RAZAO, "
                                               "FANTASIA = coalesce(:FANTASIA, FANTASIA), DATAUSER2 = :AGORA "
                                               "where ID = (select min(ID) from EMPRESAS)"));
            grava.setParameter(QStringLiteral("CNPJ"), cnpj);
            grava.setParameter(QStringLiteral("RAZAO"), razao);
            grava.setParameter(QStringLiteral("FANTASIA"), fantasia.isEmpty() ? QVariant() : QVariant(fantasia));
            grava.setParameter(QStringLiteral("AGORA"), QDateTime::currentDateTime());
            grava.execute();
            if (grava.affectedRows() == 0) {
                fb::Statement nova(att, tra,
                                   QStringLiteral("insert into EMPRESAS (ID, CNPJ, RAZAOSOCIAL, FANTASIA, DATAUSER1) "
                                                  "values (0, :CNPJ, :RAZAO, :FANTASIA, :AGORA)"));
                nova.setParameter(QStringLiteral("CNPJ"), cnpj);
                nova.setParameter(QStringLiteral("RAZAO"), razao);
                nova.setParameter(QStringLiteral("FANTASIA"), fantasia.isEmpty() ? razao.left(50) : fantasia);
                nova.setParameter(QStringLiteral("AGORA"), QDateTime::currentDateTime());
                nova.execute();
            }
        }
        fb::Statement mostra(att, tra,
                             QStringLiteral("select first 1 CNPJ, RAZAOSOCIAL, FANTASIA from EMPRESAS order by ID"));
        mostra.execute();
        if (mostra.fetch())
            std::printf("Empresa: CNPJ %s - %s (%s)%s\n", mascaraCnpj(mostra.value(0).toString()).toUtf8().constData(),
                        mostra.value(1).toString().toUtf8().constData(),
                        mostra.value(2).toString().toUtf8().constData(),
                        mostra.value(0).toString() == QStringView(CnpjDeExemplo)
                            ? "  <- CNPJ de exemplo: a exportação das refeições o recusa"
                            : "");
        else
            std::printf("Nenhuma empresa cadastrada.\n");
        mostra.close();
        tra.commit();
        att.detach();
    } catch (const fb::Error& e) {
        if (e.isLockConflict())
            return falha(QStringLiteral("Os dados da empresa estão sendo alterados em outra estação; tente de novo."));
        return falha(e.message());
    }
    return 0;
}
