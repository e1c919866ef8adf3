#include "common/analiticodia.h"

#include <cmath>

qint64 FiguraDia::mediaGramas() const
{
    return refeicoes == 0 ? 0 : (2 * gramas + refeicoes) / (2 * refeicoes);
}

namespace analitico {
namespace {

qint64 gramas(const QVariant& kg)
{
    return kg.isValid() ? qint64(std::llround(kg.toDouble() * 1000.0)) : 0;
}

fb::Statement& comPeriodo(fb::Statement& st, const QDate& de, const QDate& ate)
{
    st.setParameter(QStringLiteral("DE"), de);
    st.setParameter(QStringLiteral("ATE"), ate);
    return st;
}

QString linha(const FiguraDia& d)
{
    return QStringLiteral("%1;%2;%3;%4").arg(d.refeicoes).arg(d.consumidores).arg(kg(d.gramas), kg(d.mediaGramas()));
}

} // namespace

QList<FiguraDia> porDia(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate)
{
    fb::Statement st(att, tra,
                     QStringLiteral("select DATA, count(*), count(distinct CPF), sum(PESO) from REFEICAO "
                                    "where DATA between :DE and :ATE group by DATA order by DATA"));
    comPeriodo(st, de, ate).execute();
    QList<FiguraDia> r;
    while (st.fetch())
        r << FiguraDia{
            {}, st.value(0).toDate(), st.value(1).toLongLong(), st.value(2).toLongLong(), gramas(st.value(3))};
    return r;
}

FiguraDia total(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate)
{
    fb::Statement st(att, tra,
                     QStringLiteral("select count(*), count(distinct CPF), sum(PESO) from REFEICAO "
                                    "where DATA between :DE and :ATE"));
    comPeriodo(st, de, ate).execute();
    st.fetch();
    return FiguraDia{{}, {}, st.value(0).toLongLong(), st.value(1).toLongLong(), gramas(st.value(2))};
}

QList<FiguraConsumidor> porConsumidor(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate)
{
    fb::Statement st(
        att, tra,
        QStringLiteral("select D.CPF, (select first 1 C.NOME from CLIENTE C where C.CPF = D.CPF order by C.ID), "
                       "sum(D.N), sum(case when D.N > 1 then 1 else 0 end) from (select CPF, DATA, count(*) as N "
                       "from REFEICAO where DATA between :DE and :ATE group by CPF, DATA) D "
                       "group by D.CPF order by D.CPF"));
    comPeriodo(st, de, ate).execute();
    QList<FiguraConsumidor> r;
    while (st.fetch())
        r << FiguraConsumidor{st.value(0).toString(), st.value(1).toString(), st.value(2).toLongLong(),
                              st.value(3).toLongLong()};
    return r;
}

QList<FiguraDia> centralPorDia(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate)
{
    // The restaurants one by one along the (CNPJ, DATA) index: each next CNPJ is one step of the
    // index, where a "distinct" would read every meal of every year.
    QStringList cnpjs;
    {
        fb::Statement proximo(att, tra,
                              QStringLiteral("select first 1 CNPJ from REFEICAO where CNPJ > :CNPJ order by CNPJ"));
        for (QString ultimo = QStringLiteral("");;) {
            proximo.setParameter(QStringLiteral("CNPJ"), ultimo);
            proximo.execute();
            const bool achou = proximo.fetch();
            if (achou) ultimo = proximo.value(0).toString();
            proximo.close();
            if (!achou) break;
            cnpjs << ultimo;
        }
    }
    fb::Statement dias(att, tra,
                       QStringLiteral("select DATA, count(*), count(distinct CPF), sum(PESO) from REFEICAO "
                                      "where CNPJ = :CNPJ and DATA between :DE and :ATE group by DATA order by DATA"));
    fb::Statement soma(att, tra,
                       QStringLiteral("select count(*), count(distinct CPF), sum(PESO) from REFEICAO "
                                      "where CNPJ = :CNPJ and DATA between :DE and :ATE"));
    QList<FiguraDia> r;
    for (const QString& cnpj : cnpjs) {
        dias.setParameter(QStringLiteral("CNPJ"), cnpj);
        comPeriodo(dias, de, ate).execute();
        qsizetype antes = r.size();
        while (dias.fetch())
            r << FiguraDia{cnpj, dias.value(0).toDate(), dias.value(1).toLongLong(), dias.value(2).toLongLong(),
                           gramas(dias.value(3))};
        dias.close();
        if (r.size() == antes) continue; // a restaurant without meals in the period has no lines
        soma.setParameter(QStringLiteral("CNPJ"), cnpj);
        comPeriodo(soma, de, ate).execute();
        soma.fetch();
        r << FiguraDia{cnpj, {}, soma.value(0).toLongLong(), soma.value(1).toLongLong(), gramas(soma.value(2))};
        soma.close();
    }
    return r;
}

QString kg(qint64 g)
{
    const QString sinal = g < 0 ? QStringLiteral("-") : QString();
    g = std::abs(g);
    return QStringLiteral("%1%2,%3").arg(sinal).arg(g / 1000).arg(g % 1000, 3, 10, QLatin1Char('0'));
}

QString cpfMascarado(const QString& cpf)
{
    if (cpf.size() != 11) return cpf;
    return QStringLiteral("***.%1.%2-**").arg(cpf.mid(3, 3), cpf.mid(6, 3));
}

QString csv(const QList<FiguraDia>& dias, const FiguraDia& t)
{
    QString s = QStringLiteral("data;refeicoes;consumidores;peso_total;peso_medio\n");
    for (const FiguraDia& d : dias)
        s += d.data.toString(QStringLiteral("dd/MM/yyyy")) + u';' + linha(d) + u'\n';
    s += QStringLiteral("total;") + linha(t) + u'\n';
    return s;
}

QString csvCentral(const QList<FiguraDia>& linhas)
{
    QString s = QStringLiteral("cnpj;data;refeicoes;consumidores;peso_total;peso_medio\n");
    for (const FiguraDia& d : linhas)
        s += d.cnpj + u';' +
             (d.data.isValid() ? d.data.toString(QStringLiteral("dd/MM/yyyy")) : QStringLiteral("total")) + u';' +
             linha(d) + u'\n';
    return s;
}

QDate data(const QString& texto)
{
    if (texto.size() != 10) return {};
    return QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
}

} // namespace analitico
