// Code 128 set A encoder (symbol values, check symbol, modules, refusals; decoded back by zbarimg)
// and the receipt's weight and CPF formats.
#include "weighing/code128.h"
#include "weighing/xCupon.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using Valores = QVector<int>;

class Code128 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Check symbol = (103 + sum of position x value) mod 103, values of set A.
    void simbolos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<Valores>("esperado");
        // '0' = 16, '5' = 21, '7' = 23: 103 + 16*(1+2+3+4) + 21*5 + 23*6 = 506 -> 94
        QTest::newRow("meal 57") << "000057" << Valores{103, 16, 16, 16, 16, 21, 23, 94, 106};
        // P=48 J=42 1=17 2=18 3=19 C=35 -> 878 mod 103 = 54
        QTest::newRow("PJJ123C") << "PJJ123C" << Valores{103, 48, 42, 42, 17, 18, 19, 35, 54, 106};
        // 103 + 33 + 68 + 105 = 309 = 3 * 103: the check symbol is value 0
        QTest::newRow("check value 0") << "ABC" << Valores{103, 33, 34, 35, 0, 106};
        QTest::newRow("lower case upper-cased") << "abc" << Valores{103, 33, 34, 35, 0, 106};
        QTest::newRow("space and underscore") << " _" << Valores{103, 0, 63, (103 + 0 + 2 * 63) % 103, 106};
        // control characters are set A's values 64-95
        QTest::newRow("tab") << "\t" << Valores{103, 73, 73, 106};
        QTest::newRow("NUL and US") << QString(QChar(0)) + QChar(31)
                                    << Valores{103, 64, 95, (103 + 64 + 190) % 103, 106};
        QTest::newRow("seven digits") << "1000000"
                                      << Valores{103, 17, 16, 16, 16, 16, 16, 16, (103 + 17 + 16 * 27) % 103, 106};
    }
    void simbolos()
    {
        QFETCH(QString, texto);
        QFETCH(Valores, esperado);
        QCOMPARE(code128::simbolos(texto), esperado);
    }

    void modulosDeSeisDigitos()
    {
        const QString m = code128::modulos(QStringLiteral("000057"));
        QCOMPARE(m.size(), 101);                              // start 11 + 6 x 11 + check 11 + stop 13
        QVERIFY(m.startsWith(QStringLiteral("11010000100"))); // start A
        QVERIFY(m.endsWith(QStringLiteral("1100011101011"))); // stop with its final bar
        QCOMPARE(code128::larguras(QStringLiteral("000057")).size(), 9 * 6 + 1);
    }

    // Every symbol of set A: six elements of eleven modules, bars even and spaces odd.
    void todosOsSimbolosBemFormados()
    {
        for (int v = 0; v < 96; ++v) {
            const QChar c(char16_t(v < 64 ? v + 32 : v - 64));
            const QVector<int> w = code128::larguras(QString(c));
            QCOMPARE(w.size(), 3 * 6 + 7); // start, the symbol, check, stop
            int barras = 0, espacos = 0;
            for (int i = 6; i < 12; ++i)
                (i % 2 == 0 ? barras : espacos) += w[i];
            QVERIFY2(barras + espacos == 11 && barras % 2 == 0, qPrintable(QString::number(v)));
        }
    }

    void recusa_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("caractere");
        QTest::newRow("brace (set B only)") << "000{57"
                                            << "\"{\" (posição 4)";
        QTest::newRow("grave accent") << "`"
                                      << "\"`\" (posição 1)";
        QTest::newRow("tilde") << "A~"
                               << "\"~\" (posição 2)";
        QTest::newRow("DEL") << "\x7f"
                             << "(posição 1)";
        QTest::newRow("accented letter") << "JOSÉ"
                                         << "\"É\" (posição 4)";
        QTest::newRow("lower accented letter") << "é"
                                               << "\"é\" (posição 1)";
        QTest::newRow("sharp s not turned into SS") << "ß"
                                                    << "\"ß\" (posição 1)";
        QTest::newRow("empty") << ""
                               << "vazio";
    }
    void recusa()
    {
        QFETCH(QString, texto);
        QFETCH(QString, caractere);
        try {
            code128::modulos(texto);
            QFAIL("text accepted");
        } catch (const code128::ErroCodigoBarras& e) {
            QVERIFY2(e.mensagem().contains(caractere), qPrintable(e.mensagem()));
            QCOMPARE(QString::fromUtf8(e.what()), e.mensagem());
        }
    }

    // The drawing, read back by a decoder nobody here wrote.
    void decodificado_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("lido");
        QTest::newRow("meal 57") << "000057"
                                 << "000057";
        QTest::newRow("seven digits") << "1234567"
                                      << "1234567";
        QTest::newRow("punctuation") << "!\"#$%&'()*+,-./"
                                     << "!\"#$%&'()*+,-./";
        QTest::newRow("digits and signs") << "0123456789:;<=>?@"
                                          << "0123456789:;<=>?@";
        QTest::newRow("letters") << "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                 << "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        QTest::newRow("brackets and space") << "[\\]^_ X"
                                            << "[\\]^_ X";
        QTest::newRow("lower case") << "comedal"
                                    << "COMEDAL";
        {
            QString controles;
            for (char16_t c = 1; c < 32; ++c)
                controles += QChar(c);
            QTest::newRow("control characters") << controles << controles;
        }
    }
    void decodificado()
    {
        QFETCH(QString, texto);
        QFETCH(QString, lido);
        const int modulos = code128::modulos(texto).size();
        const int px = 4, margem = 20 * px;
        QImage img(modulos * px + 2 * margem, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            code128::desenhar(p, QRectF(margem, 40, modulos * px, 120), texto, px, 100);
        }
        QTemporaryDir dir;
        const QString arquivo = dir.filePath(QStringLiteral("codigo.png"));
        QVERIFY(img.save(arquivo));
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), arquivo});
        QVERIFY2(zbar.waitForFinished(30000), "zbarimg (package zbar-tools) did not run");
        QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()).chopped(1), lido);
    }

    // Modules of a 203 dpi printer are whole dots: every bar of one width has the same width.
    void modulosInteirosNoDispositivo()
    {
        QImage img(400, 60, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            p.scale(2.08, 1); // 1/96 inch at 200 dpi
            code128::desenhar(p, QRectF(10.3, 5, 180, 40), QStringLiteral("000057"), 1, 30);
        }
        const QVector<int> w = code128::larguras(QStringLiteral("000057"));
        QVector<int> lidos;
        int x = 0;
        while (img.pixel(x, 20) == qRgb(255, 255, 255))
            ++x;
        for (int i = 0; i < w.size(); ++i) {
            const QRgb cor = img.pixel(x, 20);
            int n = 0;
            while (x < img.width() && img.pixel(x, 20) == cor)
                ++x, ++n;
            lidos << n;
        }
        for (int i = 0; i < w.size(); ++i)
            QCOMPARE(lidos[i], w[i] * 2);
    }

    void peso_data()
    {
        QTest::addColumn<double>("peso");
        QTest::addColumn<QString>("texto");
        QTest::newRow("under one kilogram") << 0.450 << ",450";
        QTest::newRow("meal 57") << 5.25 << "5,250";
        QTest::newRow("thousands") << 1234.5 << "1.234,500";
        QTest::newRow("zero") << 0.0 << ",000";
        QTest::newRow("exact thousand") << 1000.0 << "1.000,000";
        QTest::newRow("largest NUMERIC(9,3)") << 999999.999 << "999.999,999";
        QTest::newRow("rounds to grams") << 2.0004 << "2,000";
        QTest::newRow("rounds up into the integer") << 0.9996 << "1,000";
        QTest::newRow("negative") << -0.45 << "-,450";
    }
    void peso()
    {
        QFETCH(double, peso);
        QFETCH(QString, texto);
        // the workstation's locale does not change the receipt
        for (const QLocale& l : {QLocale(QLocale::English, QLocale::UnitedStates),
                                 QLocale(QLocale::Portuguese, QLocale::Brazil), QLocale::c()}) {
            QLocale::setDefault(l);
            QCOMPARE(TCupom::formataPeso(peso), texto);
        }
        QLocale::setDefault(QLocale::c());
    }

    void cpf_data()
    {
        QTest::addColumn<QString>("cpf");
        QTest::addColumn<QString>("texto");
        QTest::newRow("eleven digits") << "12345678909"
                                       << "123.456.789-09";
        QTest::newRow("short: the missing position blank") << "1234567890"
                                                           << "123.456.789-0_";
        QTest::newRow("empty") << ""
                               << "";
    }
    void cpf()
    {
        QFETCH(QString, cpf);
        QFETCH(QString, texto);
        QCOMPARE(TCupom::formataCpf(cpf), texto);
    }
};

QTEST_GUILESS_MAIN(Code128)
#include "unit_code128.moc"
