#include "code128.h"

#include <QPainter>
#include <QTransform>
#include <array>
#include <cmath>

namespace code128 {

namespace {

// Bar/space widths of the 107 symbols, by symbol value (bar first). 106 is the stop, whose
// seventh element is its final two-module bar.
constexpr std::array<const char*, 107> padroes = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213",  "122312", "132212", "221213", // 0
    "221312", "231212", "112232", "122132", "122231", "113222", "123122",  "123221", "223211", "221132", // 10
    "221231", "213212", "223112", "312131", "311222", "321122", "321221",  "312212", "322112", "322211", // 20
    "212123", "212321", "232121", "111323", "131123", "131321", "112313",  "132113", "132311", "211313", // 30
    "231113", "231311", "112133", "112331", "132131", "113123", "113321",  "133121", "313121", "211331", // 40
    "231131", "213113", "213311", "213131", "311123", "311321", "331121",  "312113", "312311", "332111", // 50
    "314111", "221411", "431111", "111224", "111422", "121124", "121421",  "141122", "141221", "112214", // 60
    "112412", "122114", "122411", "142112", "142211", "241211", "221114",  "413111", "241112", "134111", // 70
    "111242", "121142", "121241", "114212", "124112", "124211", "411212",  "421112", "421211", "212141", // 80
    "214121", "412121", "111143", "111341", "131141", "114113", "114311",  "411113", "411311", "113141", // 90
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112",                               // 100
};

// Set A: ASCII 32-95 are values 0-63, the control characters 0-31 are values 64-95.
int valorA(char16_t c)
{
    return c < 32 ? c + 64 : c - 32;
}

} // namespace

ErroCodigoBarras::ErroCodigoBarras(const QString& mensagem)
    : std::runtime_error(mensagem.toStdString()), mensagem_(mensagem)
{
}

QVector<int> simbolos(const QString& texto)
{
    if (texto.isEmpty()) throw ErroCodigoBarras(QStringLiteral("Texto vazio não gera código de barras."));
    QVector<int> r;
    r.reserve(texto.size() + 3);
    r << StartA;
    int soma = StartA;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        char16_t c = texto[i].unicode();
        // Only a-z: a wider upper-casing would turn "ß" into "SS" and change the text's length.
        if (c >= u'a' && c <= u'z') c = char16_t(c - (u'a' - u'A'));
        if (c > 95)
            throw ErroCodigoBarras(
                QStringLiteral("Caractere \"%1\" (posição %2) não pode ser codificado no código de barras.")
                    .arg(texto[i])
                    .arg(i + 1));
        const int v = valorA(c);
        r << v;
        soma += int(i + 1) * v;
    }
    r << soma % 103 << Stop;
    return r;
}

QVector<int> larguras(const QString& texto)
{
    QVector<int> r;
    for (int s : simbolos(texto))
        for (const char* p = padroes[s]; *p; ++p)
            r << *p - '0';
    return r;
}

QString modulos(const QString& texto)
{
    QString r;
    const QVector<int> w = larguras(texto);
    for (int i = 0; i < w.size(); ++i)
        r += QString(w[i], i % 2 == 0 ? u'1' : u'0');
    return r;
}

void desenhar(QPainter& painter, const QRectF& caixa, const QString& texto, qreal modulo, qreal alturaBarra,
              bool pontosInteiros)
{
    const QVector<int> w = larguras(texto);
    int total = 0;
    for (int x : w)
        total += x;

    qreal passo = modulo;
    qreal x0 = caixa.left();
    const QTransform t = painter.deviceTransform();
    if (pontosInteiros && t.type() <= QTransform::TxScale && t.m11() > 0) {
        const qreal escala = t.m11();
        qreal px = std::round(modulo * escala);
        if (px * total > caixa.width() * escala) px = std::floor(modulo * escala);
        if (px >= 1) {
            passo = px / escala;
            x0 = (std::round(caixa.left() * escala + t.dx()) - t.dx()) / escala;
        }
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.fillRect(caixa, Qt::white);
    const qreal altura = std::min(alturaBarra, caixa.height());
    int pos = 0;
    for (int i = 0; i < w.size(); ++i) {
        if (i % 2 == 0) painter.fillRect(QRectF(x0 + pos * passo, caixa.top(), w[i] * passo, altura), Qt::black);
        pos += w[i];
    }
    painter.restore();
}

} // namespace code128
