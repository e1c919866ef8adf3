#include "app/icone.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on a 64-unit square, as packaging/comedal.svg.
QPixmap desenha(int lado)
{
    QPixmap pm(lado, lado);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lado / 64.0, lado / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1C, 0x79, 0xB0));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 34), 17, 17);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xA6, 0xCA, 0xF0), 2));
    p.drawEllipse(QPointF(32, 34), 11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    // Fork: four tines over a handle.
    QPainterPath garfo;
    garfo.moveTo(9, 12);
    garfo.lineTo(9, 24);
    garfo.quadTo(9, 27, 11, 27);
    garfo.lineTo(11, 52);
    garfo.lineTo(13, 52);
    garfo.lineTo(13, 27);
    garfo.quadTo(15, 27, 15, 24);
    garfo.lineTo(15, 12);
    garfo.lineTo(13.5, 12);
    garfo.lineTo(13.5, 22);
    garfo.lineTo(12.5, 22);
    garfo.lineTo(12.5, 12);
    garfo.lineTo(11.5, 12);
    garfo.lineTo(11.5, 22);
    garfo.lineTo(10.5, 22);
    garfo.lineTo(10.5, 12);
    garfo.closeSubpath();
    p.drawPath(garfo);
    // Knife: a blade over a handle.
    QPainterPath faca;
    faca.moveTo(53, 12);
    faca.cubicTo(50, 14, 49, 19, 49, 24);
    faca.cubicTo(49, 26, 50, 27, 51.5, 27);
    faca.lineTo(51.5, 52);
    faca.lineTo(53.5, 52);
    faca.lineTo(53.5, 12);
    faca.closeSubpath();
    p.drawPath(faca);
    return pm;
}

} // namespace

QIcon iconePrograma()
{
    static const QIcon icone = [] {
        QIcon i;
        for (int lado : {16, 24, 32, 48, 64, 128})
            i.addPixmap(desenha(lado));
        return i;
    }();
    return icone;
}
