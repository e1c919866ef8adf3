#pragma once
// Meals over a few days for the daily report's tests, with the figures counted by hand.

#include <QDate>
#include <QProcess>
#include <QString>

namespace fixtura {

inline const QString A = QStringLiteral("12345678909"), B = QStringLiteral("52998224725"),
                     C = QStringLiteral("11144477735");
inline const QDate De(2026, 12, 1), Ate(2026, 12, 4);

inline QString refeicao(const QString& cpf, const char* data, const char* hora, const char* peso,
                        const QString& cnpj = {})
{
    return cnpj.isEmpty()
               ? QStringLiteral("insert into REFEICAO (CPF, DATA, HORA, PESO) values ('%1', '%2', '%3', %4);\n")
                     .arg(cpf, QLatin1String(data), QLatin1String(hora), QLatin1String(peso))
               : QStringLiteral("insert into REFEICAO (CNPJ, IDEXTERNO, CPF, DATA, HORA, PESO, DATAUSER1) values "
                                "('%5', gen_id(GEN_REFEICAO, 0) + 1, '%1', '%2', '%3', %4, '%2 %3');\n")
                     .arg(cpf, QLatin1String(data), QLatin1String(hora), QLatin1String(peso), cnpj);
}

// 1/12: A twice, B, C at 23:59; 2/12: C at 00:00, A; 3/12 nothing; 4/12: B twice; one meal on
// either side of the period.
inline QString refeicoes(const QString& cnpj = {})
{
    return refeicao(A, "2026-11-30", "12:00", "0.999", cnpj) + refeicao(A, "2026-12-01", "11:00", "0.450", cnpj) +
           refeicao(A, "2026-12-01", "18:00", "0.550", cnpj) + refeicao(B, "2026-12-01", "12:00", "0.333", cnpj) +
           refeicao(C, "2026-12-01", "23:59", "0.401", cnpj) + refeicao(C, "2026-12-02", "00:00", "0.200", cnpj) +
           refeicao(A, "2026-12-02", "12:00", "0.300", cnpj) + refeicao(B, "2026-12-04", "12:00", "0.700", cnpj) +
           refeicao(B, "2026-12-04", "19:00", "0.001", cnpj) + refeicao(A, "2026-12-05", "12:00", "0.999", cnpj);
}

// 4 meals of 1,734 kg: the average 0,4335 rounds up; 0,701 / 2 likewise.
inline const QString Esperado = QStringLiteral("data;refeicoes;consumidores;peso_total;peso_medio\n"
                                               "01/12/2026;4;3;1,734;0,434\n"
                                               "02/12/2026;2;2;0,500;0,250\n"
                                               "04/12/2026;2;1;0,701;0,351\n"
                                               "total;8;3;2,935;0,367\n");

// comedal-relatorio run with these arguments (the test's build defines COMEDAL_RELATORIO).
struct Saida
{
    int codigo = -1;
    QString texto, erro;
};

inline Saida relatorio(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(COMEDAL_RELATORIO), args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace fixtura
