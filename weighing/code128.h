#pragma once
// Code 128 (ISO/IEC 15417) in code set A: start A, the data symbols, the modulo-103 check symbol
// and the stop pattern. The receipt encodes the zero-padded meal number with it.

#include <QRectF>
#include <QString>
#include <QVector>
#include <stdexcept>

class QPainter;

namespace code128 {

// Text that code set A cannot carry. what() holds the Portuguese message (UTF-8).
class ErroCodigoBarras : public std::runtime_error
{
public:
    explicit ErroCodigoBarras(const QString& mensagem);
    QString mensagem() const { return mensagem_; }

private:
    QString mensagem_;
};

constexpr int StartA = 103;
constexpr int Stop = 106;

// Symbol values of the whole symbol: StartA, one value per character, the check symbol, Stop.
// Lower-case letters are upper-cased; any other character outside set A (ASCII 0-95), and the
// empty text, throw ErroCodigoBarras.
QVector<int> simbolos(const QString& texto);

// Module widths, bar first and alternating bar/space, ending with the stop's final bar.
QVector<int> larguras(const QString& texto);

// One character per module: '1' bar, '0' space. A six-character text gives 101 modules.
QString modulos(const QString& texto);

// Draws the symbol in black on a white box: bars from the box's top-left corner, modulo wide and
// alturaBarra high (painter units, the height kept inside the box), no human-readable text. With
// pontosInteiros (a raster or printer device) the module is rounded to whole device pixels so
// every bar keeps its proportion (a 203 dpi receipt printer would otherwise mix 2- and 3-dot
// modules); without it (a PDF file, drawn as vectors) the module is exactly modulo wide.
void desenhar(QPainter& painter, const QRectF& caixa, const QString& texto, qreal modulo, qreal alturaBarra,
              bool pontosInteiros = true);

} // namespace code128
