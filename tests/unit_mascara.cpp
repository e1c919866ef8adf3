// Input masks of the record screens: the Qt form, showing a stored value in the box and storing
// what the box holds.
#include "common/mascara.h"

#include <QtTest>

namespace {
const QString CPF = QStringLiteral("000\\.000\\.000\\-00;0;_");
const QString CPF_REFEICAO = QStringLiteral("!999\\.999\\.999\\-99;0;_");
const QString FONE = QStringLiteral("!\\(99\\)00000-0000;0;_");
const QString CEP = QStringLiteral("00\\.000\\-000;0;_");
const QString CEP_USUARIO = QStringLiteral("00\\.000\\-999;0;_");
const QString CNPJ = QStringLiteral("00\\.000\\.000\\/0000\\-00;0;_");
const QString DATA = QStringLiteral("!99/99/9900;1;_");
} // namespace

class Mascaras : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mascaraQt_data()
    {
        QTest::addColumn<QString>("mascara");
        QTest::addColumn<QString>("qt");
        QTest::newRow("cpf") << CPF << "000.000.000-00;_";
        QTest::newRow("telefone: ! is not Qt's case switch") << FONE << "(99)00000-0000;_";
        QTest::newRow("cep") << CEP << "00.000-000;_";
        QTest::newRow("cnpj") << CNPJ << "00.000.000/0000-00;_";
        QTest::newRow("data") << DATA << "99/99/9900;_";
        QTest::newRow("codigo") << "99999999;0;_"
                                << "99999999;_";
        QTest::newRow("literal that Qt reads as a mask character") << "\\A-00;1;*"
                                                                   << "\\A-00;*";
        QTest::newRow("letters and case") << ">LL<ll;1;_"
                                          << ">AA<aa;_";
        QTest::newRow("pattern only") << "00:00"
                                      << "00:00;_";
        QTest::newRow("no mask") << ""
                                 << "";
    }
    void mascaraQt()
    {
        QFETCH(QString, mascara);
        QFETCH(QString, qt);
        QCOMPARE(mascara::mascaraQt(mascara), qt);
    }

    // Stored value <-> box text, both ways.
    void idaEVolta_data()
    {
        QTest::addColumn<QString>("mascara");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("texto");
        QTest::newRow("cpf") << CPF << "12345678909"
                             << "123.456.789-09";
        QTest::newRow("cpf partial") << CPF << "123"
                                     << "123.___.___-__";
        QTest::newRow("cpf empty") << CPF << ""
                                   << "";
        QTest::newRow("meal cpf, optional digits") << CPF_REFEICAO << "12345678909"
                                                   << "123.456.789-09";
        QTest::newRow("phone full") << FONE << "71987654321"
                                    << "(71)98765-4321";
        QTest::newRow("phone without area code") << FONE << "987654321"
                                                 << "(__)98765-4321";
        QTest::newRow("landline after the phone rule") << FONE << "71 32345678"
                                                       << "(71)_3234-5678";
        QTest::newRow("cep") << CEP << "40000000"
                             << "40.000-000";
        QTest::newRow("user cep, optional tail") << CEP_USUARIO << "40000"
                                                 << "40.000-___";
        QTest::newRow("cnpj") << CNPJ << "12345678000195"
                              << "12.345.678/0001-95";
        QTest::newRow("date keeps its separators") << DATA << "12/03/2024"
                                                   << "12/03/2024";
    }
    void idaEVolta()
    {
        QFETCH(QString, mascara);
        QFETCH(QString, valor);
        QFETCH(QString, texto);
        QCOMPARE(mascara::valorParaTexto(mascara, valor), texto);
        QCOMPARE(mascara::textoParaValor(mascara, texto), valor);
    }

    void textoParaValor_data()
    {
        QTest::addColumn<QString>("mascara");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("valor");
        QTest::newRow("nothing typed") << CPF << "___.___.___-__"
                                       << "";
        QTest::newRow("nothing typed, date") << DATA << "__/__/____"
                                             << "";
        QTest::newRow("blanks as spaces") << FONE << "(  )98765-4321"
                                          << "987654321";
        QTest::newRow("a gap inside stays") << CPF << "123.4_6.789-09"
                                            << "1234 678909";
        QTest::newRow("date partly typed keeps its places") << DATA << "12/03/__24"
                                                            << "12/03/  24";
        QTest::newRow("a bare value is taken as such") << CPF << "12345678909"
                                                       << "12345678909";
        QTest::newRow("a value stored with punctuation") << CPF_REFEICAO << "123.456.789-09"
                                                         << "12345678909";
        QTest::newRow("no mask") << ""
                                 << " as typed "
                                 << " as typed ";
    }
    void textoParaValor()
    {
        QFETCH(QString, mascara);
        QFETCH(QString, texto);
        QFETCH(QString, valor);
        QCOMPARE(mascara::textoParaValor(mascara, texto), valor);
    }

    void brancoParaOCampo()
    {
        // QLineEdit::setText keeps spaces in place, while the blank character would be skipped.
        QCOMPARE(mascara::valorParaTexto(FONE, "987654321", u' '), QStringLiteral("(  )98765-4321"));
        QCOMPARE(mascara::posicoesDigitadas(FONE, "(__)98765-4321"), QStringLiteral("  987654321"));
        QCOMPARE(mascara::posicoesDigitadas(FONE, "(71)_3234-5678"), QStringLiteral("71 32345678"));
    }

    void completo_data()
    {
        QTest::addColumn<QString>("mascara");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("ok");
        QTest::newRow("cpf full") << CPF << "123.456.789-09" << true;
        QTest::newRow("cpf partial") << CPF << "123.45_.___-__" << false;
        QTest::newRow("cpf empty box") << CPF << "___.___.___-__" << true;
        QTest::newRow("phone without the optional area code") << FONE << "(__)98765-4321" << true;
        QTest::newRow("phone missing a number digit") << FONE << "(71)9876_-4321" << false;
        QTest::newRow("date with two-digit year") << DATA << "12/03/24__" << false;
        QTest::newRow("date without century") << DATA << "12/03/__24" << true;
        QTest::newRow("meal cpf, all optional") << CPF_REFEICAO << "123.___.___-__" << true;
    }
    void completo()
    {
        QFETCH(QString, mascara);
        QFETCH(QString, texto);
        QFETCH(bool, ok);
        QCOMPARE(mascara::completo(mascara, texto), ok);
    }
};

QTEST_GUILESS_MAIN(Mascaras)
#include "unit_mascara.moc"
