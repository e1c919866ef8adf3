#include "textohostil.h"

#include "common/mascara.h"
#include "testdb.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

namespace hostil {

void linhas()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("medida");
    QTest::newRow("aspas simples") << QStringLiteral("O'Brien") << int(Literal);
    QTest::newRow("aspas duplas") << QStringLiteral("\"aspas\"") << int(Literal);
    QTest::newRow("comando SQL") << QStringLiteral("'; DROP TABLE USUARIOS; --") << int(Literal);
    QTest::newRow("por cento") << QStringLiteral("%") << int(Literal);
    QTest::newRow("sublinhado") << QStringLiteral("_") << int(Literal);
    QTest::newRow("acentos") << QStringLiteral("ÇÃÕÉÍçãõéí") << int(Literal);
    QTest::newRow("emoji") << QStringLiteral("sopa 🍲") << int(Literal);
    QTest::newRow("tabulação") << QStringLiteral("antes\tdepois") << int(Literal);
    QTest::newRow("quebra de linha") << QStringLiteral("linha 1\nlinha 2") << int(Literal);
    QTest::newRow("barra invertida") << QStringLiteral("C:\\pasta\\arquivo") << int(Literal);
    QTest::newRow("tamanho exato") << QString() << int(Exata);
    QTest::newRow("um a mais") << QString() << int(UmAMais);
    QTest::newRow("emoji na borda") << QString() << int(EmojiNaBorda);
}

QString texto(const QString& literal, int medida, int tamanho, QChar enchimento)
{
    switch (medida) {
    case Exata:
        return QString(tamanho, enchimento);
    case UmAMais:
        return QString(tamanho + 1, enchimento);
    case EmojiNaBorda:
        return QString(qMax(0, tamanho - 1), enchimento) + QStringLiteral("🍲");
    default:
        return literal;
    }
}

QString cabe(const QString& texto, int tamanho)
{
    if (texto.size() <= tamanho) return texto;
    int n = tamanho;
    if (n > 0 && texto.at(n - 1).isHighSurrogate() && texto.at(n).isLowSurrogate()) --n;
    return texto.left(n);
}

namespace {
void preparaCaixa(QWidget* caixa)
{
    caixa->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(caixa))
        e->selectAll();
    else if (auto* m = qobject_cast<QPlainTextEdit*>(caixa))
        m->selectAll();
}
} // namespace

void digita(QWidget* caixa, const QString& texto)
{
    preparaCaixa(caixa);
    for (int i = 0; i < texto.size();) {
        const int n = texto.at(i).isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, caixa, Qt::Key_unknown, texto.mid(i, n), Qt::NoModifier);
        i += n;
    }
}

void cola(QWidget* caixa, const QString& texto)
{
    preparaCaixa(caixa);
    QGuiApplication::clipboard()->setText(texto);
    QTest::keyClick(caixa, Qt::Key_V, Qt::ControlModifier);
}

void entra(QWidget* caixa, const QString& texto)
{
    if (texto.contains(u'\t') || texto.contains(u'\n'))
        cola(caixa, texto);
    else
        digita(caixa, texto);
}

QString impressao(const TestDatabase& db, const QString& select)
{
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    fb::Statement s(att, tra, select);
    s.execute();
    QString saida;
    while (s.fetch()) {
        for (int i = 0; i < s.columnCount(); ++i) {
            const QVariant v = s.value(i);
            if (v.isNull())
                saida += QStringLiteral("<nulo>");
            else if (v.typeId() == QMetaType::QByteArray)
                saida += QString::fromLatin1(v.toByteArray().toHex());
            else
                saida += v.toString();
            saida += u'|';
        }
        saida += u'\n';
    }
    return saida;
}

QRegularExpression exata(const QString& mensagem)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QRegularExpression::escape(mensagem)));
}

QList<QRegularExpression> mensagensDeEntrada()
{
    const auto padrao = [](const QString& p) {
        return QRegularExpression(QRegularExpression::anchoredPattern(p),
                                  QRegularExpression::DotMatchesEverythingOption);
    };
    return {padrao(QStringLiteral("O campo '[^']+' aceita no máximo \\d+ caracteres\\.?")),
            padrao(QStringLiteral("'.*' não é um valor inteiro válido\\.?")),
            padrao(QStringLiteral("'.*' não é uma data válida\\.?")),
            padrao(QStringLiteral("'.*' não é uma hora válida\\.?")),
            padrao(QStringLiteral("Campo '[^']+' deve possuir um valor\\.?")),
            exata(mascara::mensagemIncompleto()),
            exata(mascara::mensagemIncompleto() + u'.')};
}

QStringList estranhas(const QStringList& textos, const QList<QRegularExpression>& conhecidas)
{
    QStringList fora;
    for (const QString& t : textos) {
        bool conhecida = false;
        for (const QRegularExpression& r : conhecidas)
            conhecida = conhecida || r.match(t).hasMatch();
        if (!conhecida) fora << t;
    }
    return fora;
}

void clica(const QWidget* tela, const char* botao)
{
    filho<QAbstractButton>(tela, botao)->click();
}

bool mostra(QWidget* janela, QSize tamanho)
{
    janela->resize(tamanho);
    janela->show();
    janela->activateWindow();
    return QTest::qWaitForWindowActive(janela);
}

QString textoDe(const QWidget* caixa)
{
    if (auto* e = qobject_cast<const QLineEdit*>(caixa)) return e->text();
    if (auto* m = qobject_cast<const QPlainTextEdit*>(caixa)) return m->toPlainText();
    return {};
}

} // namespace hostil
