#include "texto.h"

#include <QHash>
#include <cmath>

ErroConversao::ErroConversao(const QString& mensagem) : std::runtime_error(mensagem.toStdString()), mensagem_(mensagem)
{
}

namespace {

bool digitoAscii(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Integer conversion of a one-character text, as the check-digit rule reads each digit.
int digito(QChar c)
{
    if (!digitoAscii(c)) throw ErroConversao(QStringLiteral("'%1' não é um valor inteiro válido").arg(c));
    return c.unicode() - u'0';
}

int digitoVerificador(int soma)
{
    const int d = 11 - soma % 11;
    return d >= 10 ? 0 : d;
}

// Adds one to a text of decimal digits.
QString incrementa(QString digitos)
{
    for (qsizetype i = digitos.size() - 1; i >= 0; --i) {
        if (digitos[i] != u'9') {
            digitos[i] = QChar(digitos[i].unicode() + 1);
            return digitos;
        }
        digitos[i] = u'0';
    }
    return u'1' + digitos;
}

} // namespace

bool cpf(const QString& num)
{
    // Callers check the length first; anything else cannot be a CPF and must not read past the end.
    if (num.size() != 11) return false;
    int d[9];
    for (int i = 0; i < 9; ++i)
        d[i] = digito(num[i]);

    int soma = 0;
    for (int i = 0; i < 9; ++i)
        soma += d[i] * (10 - i);
    const int primeiro = digitoVerificador(soma);

    soma = 0;
    for (int i = 0; i < 9; ++i)
        soma += d[i] * (11 - i);
    soma += primeiro * 2;
    const int segundo = digitoVerificador(soma);

    const QString calculado = QString::number(primeiro) + QString::number(segundo);
    const QString digitado = num.mid(9, 2);
    if (calculado != digitado) return false;
    // The repeated-digit numbers pass the arithmetic but are not real CPFs.
    return num != QString(11, num[0]);
}

bool cnpjValido(const QString& num)
{
    if (num.size() != 14) return false;
    for (QChar c : num)
        if (c < u'0' || c > u'9') return false;
    if (num == QString(14, num[0])) return false;
    auto verificador = [&num](int n) {
        int soma = 0, peso = 2;
        for (int i = n - 1; i >= 0; --i) {
            soma += (num[i].unicode() - u'0') * peso;
            peso = peso == 9 ? 2 : peso + 1;
        }
        const int resto = soma % 11;
        return resto < 2 ? 0 : 11 - resto;
    };
    return verificador(12) == num[12].unicode() - u'0' && verificador(13) == num[13].unicode() - u'0';
}

QString StrZero(double w_Valor, int w_Length)
{
    if (!std::isfinite(w_Valor)) throw ErroConversao(QStringLiteral("Valor numérico inválido"));

    // Round the decimal text of the number (15 significant digits) to one decimal place, half away
    // from zero, so that 12.95 reads as 13 although its binary value lies just below.
    const QString e = QString::number(std::fabs(w_Valor), 'e', 14); // d.dddddddddddddde±XX
    const QString digitos = e.left(1) + e.mid(2, 14);
    const int expoente = e.mid(e.indexOf(u'e') + 1).toInt();
    auto digitoEm = [&](int i) { return i >= 0 && i < digitos.size() ? digitos[i] : QChar(u'0'); };

    QString inteiro;
    if (expoente >= 0) {
        for (int i = 0; i <= expoente; ++i)
            inteiro += digitoEm(i);
    } else {
        inteiro = QStringLiteral("0");
    }
    QChar decimo = digitoEm(expoente + 1);
    const QChar centesimo = digitoEm(expoente + 2);
    if (centesimo >= u'5') {
        if (decimo == u'9') {
            inteiro = incrementa(inteiro);
            decimo = u'0';
        } else {
            decimo = QChar(decimo.unicode() + 1);
        }
    }
    if (w_Valor == 0.0) {
        inteiro = QStringLiteral("0");
        decimo = u'0';
    }

    // The zeros go after a minus sign, so that a negative number stays a number.
    const bool negativo = w_Valor < 0 && (inteiro != QLatin1String("0") || decimo != u'0');
    const int largura = w_Length - (negativo ? 1 : 0);
    if (inteiro.size() < largura) inteiro.prepend(QString(largura - inteiro.size(), u'0'));
    return negativo ? u'-' + inteiro : inteiro;
}

QString LeftClip(const QString& w_String, int w_Tamanho)
{
    if (w_Tamanho <= 0) return QString();
    QString r = w_String.left(w_Tamanho);
    if (r.size() < w_Tamanho) r.append(QString(w_Tamanho - r.size(), u' '));
    return r;
}

QString SemAcento(const QString& str)
{
    static const QHash<QChar, QChar> tabela = [] {
        QHash<QChar, QChar> t;
        auto mapeia = [&t](const QString& de, QChar para) {
            for (QChar c : de)
                t.insert(c, para);
        };
        mapeia(QStringLiteral("àáâãäª"), u'a');
        mapeia(QStringLiteral("ÀÁÂÃÄ"), u'A');
        mapeia(QStringLiteral("èéêë"), u'e');
        mapeia(QStringLiteral("ÈÉÊË"), u'E');
        mapeia(QStringLiteral("ìíîï"), u'i');
        mapeia(QStringLiteral("ÌÍÎÏ"), u'I');
        mapeia(QStringLiteral("òóôõöº"), u'o');
        mapeia(QStringLiteral("ÒÓÔÕÖ"), u'O');
        mapeia(QStringLiteral("ùúûü"), u'u');
        mapeia(QStringLiteral("ÙÚÛÜ"), u'U');
        mapeia(QStringLiteral("ç"), u'c');
        mapeia(QStringLiteral("Ç"), u'C');
        mapeia(QStringLiteral("ñ"), u'n');
        mapeia(QStringLiteral("Ñ"), u'N');
        mapeia(QStringLiteral("'"), u' ');
        return t;
    }();
    QString r = str;
    for (QChar& c : r)
        c = tabela.value(c, c);
    return r;
}

QString SemSimbolos(const QString& str)
{
    QString r = str;
    for (QChar& c : r)
        if (c == u'"' || c == u'\'') c = u' ';
    return r;
}

QString trocacaractere(const QString& variavel, const QString& antigo, const QString& novo)
{
    // An empty pattern is "not found": it must not eat the first character.
    if (antigo.isEmpty()) return variavel;
    const qsizetype p = variavel.indexOf(antigo, 0, Qt::CaseSensitive);
    if (p < 0) return variavel;
    return variavel.left(p) + novo + variavel.mid(p + 1);
}

bool enumero(const QString& numero)
{
    if (numero.isEmpty()) return false;
    for (QChar c : numero)
        if (!digitoAscii(c)) return false;
    return true;
}

QString AjustaControle(const QString& str)
{
    const qsizetype p = str.lastIndexOf(u'&');
    if (p < 0) return str;
    const QString juntas = str.left(p) + str.mid(p + 1);
    return juntas.isEmpty() ? str : juntas;
}
