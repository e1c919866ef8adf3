#include "common/mascara.h"

namespace mascara {

namespace {

bool ehEditavel(QChar c)
{
    switch (c.unicode()) {
    case u'0':
    case u'9':
    case u'#':
    case u'L':
    case u'l':
    case u'A':
    case u'a':
    case u'C':
    case u'c':
        return true;
    default:
        return false;
    }
}

QChar paraQt(QChar c)
{
    switch (c.unicode()) {
    case u'L':
        return u'A';
    case u'l':
        return u'a';
    case u'A':
        return u'N';
    case u'a':
        return u'n';
    case u'C':
        return u'X';
    case u'c':
        return u'x';
    default:
        return c; // 0, 9 and # mean the same to Qt
    }
}

QString literalQt(QChar c)
{
    static const QString especiais = QStringLiteral("AaNnXx90DdHhBb#><!\\[]{};");
    return especiais.contains(c) ? QString(u'\\') + c : QString(c);
}

bool ehBranco(const Mascara& m, QChar c)
{
    return c == m.branco || c == u' ';
}

// A text of the pattern's length whose literal positions hold the literals.
bool jaFormatado(const Mascara& m, const QString& t)
{
    if (t.size() != m.posicoes.size()) return false;
    for (int i = 0; i < t.size(); ++i)
        if (m.posicoes[i].literal && t[i] != m.posicoes[i].caractere) return false;
    return true;
}

} // namespace

int Mascara::editaveis() const
{
    int n = 0;
    for (const Posicao& p : posicoes)
        n += p.literal ? 0 : 1;
    return n;
}

Mascara interpreta(const QString& mascara)
{
    Mascara m;
    int i = 0;
    QString qt;
    for (; i < mascara.size(); ++i) {
        const QChar c = mascara[i];
        if (c == u';') break;
        if (c == u'\\' && i + 1 < mascara.size()) {
            const QChar lit = mascara[++i];
            m.posicoes << Posicao{true, lit, false};
            qt += literalQt(lit);
        } else if (c == u'!') {
            m.brancosAEsquerda = true;
        } else if (c == u'<' && i + 1 < mascara.size() && mascara[i + 1] == u'>') {
            qt += u'!'; // case conversion off
            ++i;
        } else if (c == u'>' || c == u'<') {
            qt += c;
        } else if (ehEditavel(c)) {
            m.posicoes << Posicao{false, c, c.isDigit() ? c == u'0' : c.isUpper()};
            qt += paraQt(c);
        } else {
            const QChar lit = c == u'_' ? QChar(u' ') : c; // "_" in the pattern stands for a space
            m.posicoes << Posicao{true, lit, false};
            qt += literalQt(lit);
        }
    }
    const QStringList resto = mascara.mid(i + 1).split(u';');
    if (i < mascara.size()) {
        if (!resto.isEmpty() && !resto[0].isEmpty()) m.salvaLiterais = resto[0].trimmed() != QStringLiteral("0");
        if (resto.size() > 1 && !resto[1].isEmpty()) m.branco = resto[1][0];
    }
    if (!m.posicoes.isEmpty()) m.qt = qt + u';' + m.branco;
    return m;
}

QString mascaraQt(const QString& mascara)
{
    return interpreta(mascara).qt;
}

QString valorParaTexto(const QString& mascara, const QString& valor, QChar branco)
{
    const Mascara m = interpreta(mascara);
    if (m.vazia() || valor.isEmpty()) return valor;
    const QChar b = branco.isNull() ? m.branco : branco;
    const int total = int(m.posicoes.size());

    // The characters of the editable positions, in order.
    QString chars;
    if (jaFormatado(m, valor)) {
        for (int i = 0; i < total; ++i)
            if (!m.posicoes[i].literal) chars += valor[i];
    } else if (m.salvaLiterais) {
        QString v = valor.left(total);
        const QString pad(total - v.size(), u' ');
        v = m.brancosAEsquerda ? pad + v : v + pad;
        for (int i = 0; i < total; ++i)
            if (!m.posicoes[i].literal) chars += v[i];
    } else {
        const int n = m.editaveis();
        chars = valor.left(n);
        const QString pad(n - chars.size(), u' ');
        chars = m.brancosAEsquerda ? pad + chars : chars + pad;
    }

    QString out;
    int k = 0;
    for (const Posicao& p : m.posicoes) {
        if (p.literal) {
            out += p.caractere;
        } else {
            const QChar c = chars[k++];
            out += ehBranco(m, c) ? b : c;
        }
    }
    return out;
}

QString posicoesDigitadas(const QString& mascara, const QString& texto)
{
    const Mascara m = interpreta(mascara);
    if (m.vazia()) return texto;
    const QString t = texto.size() == m.posicoes.size() ? texto : valorParaTexto(mascara, texto);
    QString out;
    for (int i = 0; i < t.size(); ++i)
        if (!m.posicoes[i].literal) out += ehBranco(m, t[i]) ? QChar(u' ') : t[i];
    return out;
}

QString textoParaValor(const QString& mascara, const QString& texto)
{
    const Mascara m = interpreta(mascara);
    if (m.vazia()) return texto;
    const QString t = texto.size() == m.posicoes.size() ? texto : valorParaTexto(mascara, texto);
    if (t.isEmpty()) return {};
    QString out;
    bool digitou = false;
    for (int i = 0; i < t.size(); ++i) {
        const Posicao& p = m.posicoes[i];
        if (p.literal) {
            if (m.salvaLiterais) out += p.caractere;
        } else if (ehBranco(m, t[i])) {
            out += u' ';
        } else {
            out += t[i];
            digitou = true;
        }
    }
    if (!digitou) return {};
    if (!m.salvaLiterais) {
        // Only the typed characters are kept: the untyped ones on the padding side are no part of the value.
        if (m.brancosAEsquerda) {
            int j = 0;
            while (j < out.size() && out[j] == u' ')
                ++j;
            out = out.mid(j);
        } else {
            int j = int(out.size());
            while (j > 0 && out[j - 1] == u' ')
                --j;
            out.truncate(j);
        }
    }
    return out;
}

bool completo(const QString& mascara, const QString& texto)
{
    const Mascara m = interpreta(mascara);
    if (m.vazia()) return true;
    const QString t = texto.size() == m.posicoes.size() ? texto : valorParaTexto(mascara, texto);
    if (t.isEmpty()) return true;
    bool digitou = false, faltaObrigatoria = false;
    for (int i = 0; i < t.size(); ++i) {
        const Posicao& p = m.posicoes[i];
        if (p.literal) continue;
        if (ehBranco(m, t[i]))
            faltaObrigatoria = faltaObrigatoria || p.obrigatoria;
        else
            digitou = true;
    }
    return !digitou || !faltaObrigatoria;
}

QString mensagemIncompleto()
{
    return QStringLiteral("Valor de entrada inválido. Use a tecla Esc para abandonar as alterações");
}

} // namespace mascara
