#include "common/navegacao.h"

#include "common/dialogos.h"
#include "data/arquivos.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// Names and keys go into the clauses as text: accept only identifiers and whole numbers, so no
// clause can ever carry anything else.
const QString& identificador(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]*$"));
    if (!re.match(s).hasMatch()) throw fb::Error(QStringLiteral("Nome inválido na navegação: '%1'").arg(s));
    return s;
}

QString inteiro(const QString& s)
{
    bool ok = false;
    const qint64 v = s.trimmed().toLongLong(&ok);
    if (!ok) throw fb::Error(QStringLiteral("'%1' não é um valor inteiro válido").arg(s));
    return QString::number(v);
}

} // namespace

QString MinimoRegistro(const QString& w_Campo, const QString& w_Tabela)
{
    return QStringLiteral("WHERE ") + identificador(w_Campo) + QStringLiteral(" = ( SELECT MIN( ") + w_Campo +
           QStringLiteral(" ) FROM ") + identificador(w_Tabela) + u')';
}

QString AnteriorxRegistro(const QString& w_Campo, const QString&, const QString& w_Atual)
{
    return QStringLiteral("WHERE ") + identificador(w_Campo) + QStringLiteral(" = ") +
           QString::number(inteiro(w_Atual).toLongLong() - 1);
}

QString AnteriorRegistro(const QString& w_Campo, const QString& w_Tabela, const QString& w_Atual, int quantidade)
{
    const QString c = identificador(w_Campo), a = inteiro(w_Atual);
    return QStringLiteral("Where ") + c + QStringLiteral("=(SELECT MAX(") + c + QStringLiteral(") FROM ") +
           identificador(w_Tabela) + QStringLiteral(" WHERE (") + c + QStringLiteral(" >(") + a +
           QStringLiteral(" - ") + QString::number(quantidade) + QStringLiteral(")) AND (") + c + u'<' + a +
           QStringLiteral("))");
}

QString ProximoRegistro(const QString& w_Campo, const QString& w_Tabela, const QString& w_Atual)
{
    const QString c = identificador(w_Campo);
    return QStringLiteral("Where ") + c + QStringLiteral(" = ( SELECT MIN( ") + c + QStringLiteral(" ) FROM ") +
           identificador(w_Tabela) + QStringLiteral(" WHERE ") + c + QStringLiteral(" > ") + inteiro(w_Atual) + u')';
}

QString MaximoxRegistro(const QString& w_Campo, const QString&, const QString& w_Generator)
{
    return QStringLiteral("WHERE ") + identificador(w_Campo) + QStringLiteral(" = ( SELECT GEN_ID( ") +
           identificador(w_Generator) + QStringLiteral(", 0 ) FROM RDB$DATABASE )");
}

QString MaximoRegistro(const QString& w_Campo, const QString& w_Tabela, const QString& w_Generator, int quantidade)
{
    const QString c = identificador(w_Campo), g = identificador(w_Generator);
    const QString where = QStringLiteral("WHERE ( ( ") + c + QStringLiteral(" > ( SELECT GEN_ID( ") + g +
                          QStringLiteral(", 0 ) FROM RDB$DATABASE ) - ") + QString::number(quantidade) +
                          QStringLiteral(" ) ) AND ") + QStringLiteral("( ") + c +
                          QStringLiteral(" <= ( SELECT GEN_ID( ") + g + QStringLiteral(", 0 ) FROM RDB$DATABASE ) )") +
                          QStringLiteral(" ORDER BY ") + c + QStringLiteral(" DESC");
    Dataset consulta(QStringLiteral("MaximoRegistro"), &Dados->fatura, &Dados->TransFatura);
    consulta.setSQL(
        {QStringLiteral("SELECT FIRST 1 ") + c + QStringLiteral(" FROM ") + identificador(w_Tabela), where});
    consulta.open();
    const QString result = consulta.isEmpty()
                               ? QStringLiteral("WHERE ") + c + QStringLiteral(" = 0")
                               : QStringLiteral("WHERE ") + c + QStringLiteral(" = ") +
                                     QString::number(qint64(std::llround(consulta.fields().first()->asFloat())));
    return result;
}

void MovimentaRegistro(const QString& Campo, const QString& Generator, Dataset& DataSource, int atitude, int linha)
{
    const QString w_Tabela = DataSource.name();
    DataSource.disableControls();
    struct Retoma
    {
        Dataset& d;
        ~Retoma() { d.enableControls(); }
    } retoma{DataSource};

    Field* chave = DataSource.active() ? DataSource.findField(Campo) : nullptr;
    const qint64 w_Registro = chave && !chave->isNull() ? qint64(std::llround(chave->asFloat())) : 0;
    const QString atual = QString::number(w_Registro);
    DataSource.close();
    auto abre = [&](const QString& clausula) {
        DataSource.close();
        DataSource.setLinha(linha, clausula);
        DataSource.open();
        return !DataSource.isEmpty();
    };
    switch (atitude) {
    case 1:
        abre(MinimoRegistro(Campo, w_Tabela));
        break;
    case 2:
        if (!abre(AnteriorxRegistro(Campo, w_Tabela, atual)) && !abre(AnteriorRegistro(Campo, w_Tabela, atual, 3000))) {
            abre(QStringLiteral("WHERE ") + Campo + QStringLiteral(" = ") + atual);
            avisa(QStringLiteral("Atenção você já está no primeiro registro da tabela"));
        }
        break;
    case 3:
        if (!abre(ProximoRegistro(Campo, w_Tabela, atual))) {
            abre(QStringLiteral("WHERE ") + Campo + u'=' + atual);
            avisa(QStringLiteral("Atenção você já está no ultimo registro da tabela"));
        }
        break;
    case 4:
        if (!abre(MaximoxRegistro(Campo, w_Tabela, Generator))) abre(MaximoRegistro(Campo, w_Tabela, Generator, 3000));
        break;
    default:
        break;
    }
    DataSource.refresh();
}

double CalcUltimoRegistro(const QString& w_Gerador, fb::Attachment* BD, fb::Transaction* transacao)
{
    Dataset& q = *Dados->UltimoRegistro;
    q.close();
    if (BD) q.setDatabase(BD, transacao ? transacao : &Dados->TransFatura);
    struct Fecha
    {
        Dataset& q;
        ~Fecha() { q.close(); }
    } fecha{q};
    static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]*$"));
    if (!ident.match(w_Gerador).hasMatch())
        throw fb::Error(QStringLiteral("Nome de gerador inválido: '%1'").arg(w_Gerador));
    q.setSQL({QStringLiteral("SELECT GEN_ID( ") + w_Gerador + QStringLiteral(", 0 ) FROM RDB$DATABASE")});
    q.open();
    return double(std::llround(q.field(QStringLiteral("GEN_ID")).asFloat()) + 1LL);
}
