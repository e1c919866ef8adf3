// Password rules: the strength score and word, the character tests, and the temporary passwords
// (alphabet, length, no easily mistaken characters, not the same twice).
#include "users/senhas.h"

#include <QSet>
#include <QtTest>

class Senhas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void forca_data()
    {
        QTest::addColumn<QString>("senha");
        QTest::addColumn<int>("pontos");
        QTest::addColumn<QString>("palavra");
        QTest::newRow("empty") << "" << 0 << "Fraca";
        QTest::newRow("five lower-case") << "abcde" << 0 << "Fraca";
        QTest::newRow("six lower-case") << "abcdef" << 15 << "Fraca";
        QTest::newRow("eight lower-case") << "abcdefgh" << 25 << "Fraca";
        QTest::newRow("digit only") << "1" << 25 << "Fraca";
        QTest::newRow("upper and digit") << "A1" << 50 << "Regular";
        QTest::newRow("eight lower-case and a digit") << "abcdefgh1" << 50 << "Regular";
        QTest::newRow("six with digit and upper") << "abcD1e" << 65 << "Média";
        QTest::newRow("eight with upper and digit") << "abcdefG1" << 75 << "Boa";
        QTest::newRow("six with special, upper, digit") << "aB1@cd" << 90 << "Boa";
        QTest::newRow("eight with upper, digit and @") << "abcdeF1@" << 100 << "Ótima";
        QTest::newRow("c-cedilla is special") << "ç" << 25 << "Fraca";
        QTest::newRow("accented capital is special, not upper") << "Á" << 25 << "Fraca";
        QTest::newRow("backslash is special") << "\\" << 25 << "Fraca";
        QTest::newRow("space is nothing") << "      " << 15 << "Fraca";
        QTest::newRow("less-than is not special") << "<" << 0 << "Fraca";
    }
    void forca()
    {
        QFETCH(QString, senha);
        QFETCH(int, pontos);
        QFETCH(QString, palavra);
        QCOMPARE(PontosSenha(senha), pontos);
        QCOMPARE(ForcaSenha(senha), palavra);
    }

    void palavraDeCadaPontuacao_data()
    {
        QTest::addColumn<int>("pontos");
        QTest::addColumn<QString>("palavra");
        const QList<QPair<int, QString>> tabela = {{0, "Fraca"},    {15, "Fraca"},   {25, "Fraca"},
                                                   {40, "Regular"}, {50, "Regular"}, {65, "Média"},
                                                   {75, "Boa"},     {90, "Boa"},     {100, "Ótima"}};
        for (const auto& [p, w] : tabela)
            QTest::newRow(qPrintable(QString::number(p))) << p << w;
    }
    void palavraDeCadaPontuacao()
    {
        QFETCH(int, pontos);
        QFETCH(QString, palavra);
        QCOMPARE(PalavraForca(pontos), palavra);
    }

    void especiaisSaoOs56()
    {
        const QString conjunto = QStringLiteral("àâêôûãõáéíóúçüÀÂÊÔÛÃÕÁÉÍÓÚÇÜ~!-,.@#$%¨&*()_;:?/\\]}{[´`=+");
        QCOMPARE(conjunto.size(), 56);
        for (QChar c : conjunto)
            QVERIFY2(ExisteEspecial(QString(c)), qPrintable(QString(c)));
        for (QChar c : QStringLiteral("aZ09 <>^|\"'èñ"))
            QVERIFY2(!ExisteEspecial(QString(c)), qPrintable(QString(c)));
    }

    void testesOlhamOTextoTodo()
    {
        QVERIFY(ExisteMaiuscula(QStringLiteral("abcdefZ")));
        QVERIFY(!ExisteMaiuscula(QStringLiteral("abcÇdef")));
        QVERIFY(ExisteNumero(QStringLiteral("abcdef9")));
        QVERIFY(!ExisteNumero(QStringLiteral("abc")));
        QVERIFY(ExisteEspecial(QStringLiteral("abcdef+")));
    }

    void senhaTemporaria()
    {
        const QString proibidos = QStringLiteral("Il1");
        QSet<QString> vistas;
        for (int i = 0; i < 500; ++i) {
            const QString s = GerarSenhaAleatoria(8, true, true, true, true);
            QCOMPARE(s.size(), 8);
            for (QChar c : s) {
                QVERIFY2(!proibidos.contains(c), qPrintable(s));
                QVERIFY2(
                    QStringLiteral("ABCDEFGHJKLMNOPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz023456789@#$%&*<>?").contains(c),
                    qPrintable(s));
            }
            vistas.insert(s);
        }
        // 68^8 possibilities: a repeat among 500 means the source is not random.
        QCOMPARE(vistas.size(), 500);
    }

    void senhaTemporariaUsaOAlfabetoTodo()
    {
        // Every one of the 68 characters turns up over enough draws; a generator that never
        // reaches the end of the alphabet would miss the symbols.
        QSet<QChar> vistos;
        for (int i = 0; i < 400 && vistos.size() < 68; ++i)
            for (QChar c : GerarSenhaAleatoria(8, true, true, true, true))
                vistos.insert(c);
        QCOMPARE(vistos.size(), 68);
    }

    void gruposEscolhidos_data()
    {
        QTest::addColumn<bool>("maiusculas");
        QTest::addColumn<bool>("minusculas");
        QTest::addColumn<bool>("numeros");
        QTest::addColumn<bool>("simbolos");
        QTest::addColumn<QString>("alfabeto");
        QTest::newRow("upper") << true << false << false << false << "ABCDEFGHJKLMNOPQRSTUVWXYZ";
        QTest::newRow("lower") << false << true << false << false << "abcdefghijkmnopqrstuvwxyz";
        QTest::newRow("digits") << false << false << true << false << "023456789";
        QTest::newRow("symbols") << false << false << false << true << "@#$%&*<>?";
        QTest::newRow("digits and symbols") << false << false << true << true << "023456789@#$%&*<>?";
    }
    void gruposEscolhidos()
    {
        QFETCH(bool, maiusculas);
        QFETCH(bool, minusculas);
        QFETCH(bool, numeros);
        QFETCH(bool, simbolos);
        QFETCH(QString, alfabeto);
        const QString s = GerarSenhaAleatoria(200, maiusculas, minusculas, numeros, simbolos);
        QCOMPARE(s.size(), 200);
        for (QChar c : s)
            QVERIFY2(alfabeto.contains(c), qPrintable(s));
    }

    void tamanhoZeroOuNegativo()
    {
        QCOMPARE(GerarSenhaAleatoria(0, true, true, true, true), QString());
        QCOMPARE(GerarSenhaAleatoria(-3, true, true, true, true), QString());
    }

    void nenhumGrupo()
    {
        try {
            GerarSenhaAleatoria(8, false, false, false, false);
            QFAIL("no error");
        } catch (const ErroSenha& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("Nenhum tipo de caractere foi selecionado para a senha"));
        }
    }
};

QTEST_GUILESS_MAIN(Senhas)
#include "unit_senhas.moc"
