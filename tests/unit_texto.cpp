// Text and document-number functions: the cases the screens depend on, and the inputs that would
// read past a text's end or eat a character.
#include "common/texto.h"

#include <QtTest>

class Texto : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cpfValida_data()
    {
        QTest::addColumn<QString>("num");
        QTest::addColumn<bool>("valido");
        QTest::newRow("valid") << "12345678909" << true;
        QTest::newRow("other valid") << "52998224725" << true;
        QTest::newRow("other valid 2") << "11144477735" << true;
        QTest::newRow("remainder 0 gives digit 0") << "98765432100" << true;
        QTest::newRow("remainder 1 gives digit 0") << "12345672706" << true;
        QTest::newRow("second digit from remainder 1") << "12345670240" << true;
        QTest::newRow("wrong second digit") << "12345678900" << false;
        QTest::newRow("wrong first digit") << "12345678919" << false;
        QTest::newRow("letter in check digits") << "1234567890A" << false;
        QTest::newRow("space in check digits") << "123456789 9" << false;
        QTest::newRow("short") << "1234567890" << false;
        QTest::newRow("long") << "123456789091" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("punctuated") << "123.456.789-09" << false;
        for (char d = '0'; d <= '9'; ++d)
            QTest::newRow(qPrintable(QStringLiteral("repeated %1").arg(d))) << QString(11, QChar(d)) << false;
    }
    void cpfValida()
    {
        QFETCH(QString, num);
        QFETCH(bool, valido);
        QCOMPARE(cpf(num), valido);
    }

    void cnpjValida_data()
    {
        QTest::addColumn<QString>("num");
        QTest::addColumn<bool>("valido");
        QTest::newRow("valid") << "11444777000161" << true;
        QTest::newRow("first digit from remainder 0 or 1") << "04578050000101" << true;
        QTest::newRow("leading zeros") << "00000000000191" << true;
        QTest::newRow("placeholder is well formed") << "11222333000181" << true;
        QTest::newRow("wrong first digit") << "11444777000171" << false;
        QTest::newRow("wrong second digit") << "11444777000162" << false;
        QTest::newRow("punctuated") << "11.444.777/0001-61" << false;
        QTest::newRow("letter") << "1144477700016A" << false;
        QTest::newRow("short") << "1144477700016" << false;
        QTest::newRow("long") << "114447770001610" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("repeated") << "00000000000000" << false;
        QTest::newRow("arabic-indic digit") << QString::fromUtf8("١1444777000161") << false;
    }
    void cnpjValida()
    {
        QFETCH(QString, num);
        QFETCH(bool, valido);
        QCOMPARE(cnpjValido(num), valido);
    }

    void cpfComLetraNaoEhNumero_data()
    {
        QTest::addColumn<QString>("num");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("letter first") << "A2345678909"
                                      << "'A' não é um valor inteiro válido";
        QTest::newRow("letter ninth") << "12345678x09"
                                      << "'x' não é um valor inteiro válido";
        QTest::newRow("space") << "123 5678909"
                               << "' ' não é um valor inteiro válido";
        // Digits of other scripts are not the ASCII digits a CPF is made of.
        QTest::newRow("arabic-indic digit")
            << QString::fromUtf8("١2345678909") << QString::fromUtf8("'١' não é um valor inteiro válido");
    }
    void cpfComLetraNaoEhNumero()
    {
        QFETCH(QString, num);
        QFETCH(QString, mensagem);
        try {
            cpf(num);
            QFAIL("no conversion error");
        } catch (const ErroConversao& e) {
            QCOMPARE(e.mensagem(), mensagem);
            QCOMPARE(QString::fromStdString(e.what()), mensagem);
        }
    }

    void strZero_data()
    {
        QTest::addColumn<double>("valor");
        QTest::addColumn<int>("largura");
        QTest::addColumn<QString>("texto");
        QTest::newRow("57") << 57.0 << 10 << "0000000057";
        QTest::newRow("rounds up") << 12.96 << 4 << "0013";
        QTest::newRow("rounds down") << 12.94 << 4 << "0012";
        QTest::newRow("half rounds up") << 12.95 << 4 << "0013";
        QTest::newRow("just below one") << 0.95 << 2 << "01";
        QTest::newRow("carry through nines") << 999.97 << 1 << "1000";
        QTest::newRow("zero") << 0.0 << 3 << "000";
        QTest::newRow("not cut") << 123456.0 << 3 << "123456";
        QTest::newRow("width 0") << 7.0 << 0 << "7";
        QTest::newRow("big meal number") << 2147483647.0 << 12 << "002147483647";
        QTest::newRow("beyond 15 digits") << 1e20 << 3 << "100000000000000000000";
        QTest::newRow("negative keeps sign first") << -5.0 << 4 << "-005";
        QTest::newRow("tiny negative is zero") << -0.01 << 3 << "000";
    }
    void strZero()
    {
        QFETCH(double, valor);
        QFETCH(int, largura);
        QFETCH(QString, texto);
        QCOMPARE(StrZero(valor, largura), texto);
    }

    void strZeroNaoNumero()
    {
        QVERIFY_THROWS_EXCEPTION(ErroConversao, StrZero(std::nan(""), 4));
        QVERIFY_THROWS_EXCEPTION(ErroConversao, StrZero(HUGE_VAL, 4));
    }

    void leftClip_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("tamanho");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("cut") << "ABCDEF" << 4 << "ABCD";
        QTest::newRow("padded") << "AB" << 4 << "AB  ";
        QTest::newRow("exact") << "ABCD" << 4 << "ABCD";
        QTest::newRow("empty") << "" << 3 << "   ";
        QTest::newRow("zero") << "ABC" << 0 << "";
        QTest::newRow("negative") << "ABC" << -1 << "";
        QTest::newRow("accents count once") << "Ação" << 3 << "Açã";
    }
    void leftClip()
    {
        QFETCH(QString, texto);
        QFETCH(int, tamanho);
        QFETCH(QString, resultado);
        QCOMPARE(LeftClip(texto, tamanho), resultado);
    }

    void semAcento_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("name") << "Conceição D'Ávila"
                              << "Conceicao D Avila";
        QTest::newRow("lower") << "àáâãäª èéêë ìíîï òóôõöº ùúûü ç ñ"
                               << "aaaaaa eeee iiii oooooo uuuu c n";
        QTest::newRow("upper") << "ÀÁÂÃÄ ÈÉÊË ÌÍÎÏ ÒÓÔÕÖ ÙÚÛÜ Ç Ñ"
                               << "AAAAA EEEE IIII OOOOO UUUU C N";
        QTest::newRow("outside the table") << "åÅæøýÿ\""
                                           << "åÅæøýÿ\"";
        QTest::newRow("plain") << "JOSE 123"
                               << "JOSE 123";
        QTest::newRow("empty") << ""
                               << "";
    }
    void semAcento()
    {
        QFETCH(QString, texto);
        QFETCH(QString, resultado);
        QCOMPARE(SemAcento(texto), resultado);
    }

    void semSimbolos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("quotes") << "Vila \"Nova\" D'Água"
                                << "Vila  Nova  D Água";
        QTest::newRow("injection") << "x'; drop table CLIENTE; --"
                                   << "x ; drop table CLIENTE; --";
        QTest::newRow("typographic quotes stay") << "‘a’ “b”"
                                                 << "‘a’ “b”";
        QTest::newRow("empty") << ""
                               << "";
    }
    void semSimbolos()
    {
        QFETCH(QString, texto);
        QFETCH(QString, resultado);
        QCOMPARE(SemSimbolos(texto), resultado);
    }

    void trocaCaractere_data()
    {
        QTest::addColumn<QString>("variavel");
        QTest::addColumn<QString>("antigo");
        QTest::addColumn<QString>("novo");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("first space") << "JOSE DA SILVA"
                                     << " "
                                     << "%%"
                                     << "JOSE%%DA SILVA";
        QTest::newRow("not found") << "JOSE"
                                   << " "
                                   << "%%"
                                   << "JOSE";
        QTest::newRow("case-sensitive") << "Jose"
                                        << "O"
                                        << "0"
                                        << "Jose";
        QTest::newRow("at the end") << "JOSE "
                                    << " "
                                    << "%%"
                                    << "JOSE%%";
        QTest::newRow("at the start") << " JOSE"
                                      << " "
                                      << "%%"
                                      << "%%JOSE";
        QTest::newRow("only one character removed") << "ABCDE"
                                                    << "BC"
                                                    << "x"
                                                    << "AxCDE";
        QTest::newRow("empty pattern") << "JOSE"
                                       << ""
                                       << "%%"
                                       << "JOSE";
        QTest::newRow("empty text") << ""
                                    << " "
                                    << "%%"
                                    << "";
    }
    void trocaCaractere()
    {
        QFETCH(QString, variavel);
        QFETCH(QString, antigo);
        QFETCH(QString, novo);
        QFETCH(QString, resultado);
        QCOMPARE(trocacaractere(variavel, antigo, novo), resultado);
    }

    void eNumero_data()
    {
        QTest::addColumn<QString>("numero");
        QTest::addColumn<bool>("resultado");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("digits") << "123" << true;
        QTest::newRow("decimal point") << "12.3" << false;
        QTest::newRow("sign") << "-1" << false;
        QTest::newRow("space") << "12 " << false;
        QTest::newRow("300 digits") << QString(300, u'7') << true;
        QTest::newRow("300 digits and a letter") << QString(300, u'7') + u'a' << false;
        QTest::newRow("superscript two") << "1²" << false;
        QTest::newRow("fullwidth digit") << "１" << false;
    }
    void eNumero()
    {
        QFETCH(QString, numero);
        QFETCH(bool, resultado);
        QCOMPARE(enumero(numero), resultado);
    }
};

QTEST_GUILESS_MAIN(Texto)
#include "unit_texto.moc"
