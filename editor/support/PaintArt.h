#pragma once

#include <initializer_list>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

// What the editor's drawn images (toolbar, banner, icon, cursor) share.
namespace PaintArt {

// Clears the canvas (a QImage or QPixmap) to transparent, paints on it with
// antialiasing on and returns it.
template <typename Canvas, typename Paint> Canvas OnTransparent(Canvas canvas, const Paint& paint)
{
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return canvas;
}

// A closed outline through the corners in order.
inline QPainterPath Polygon(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(corners));
    path.closeSubpath();
    return path;
}

} // namespace PaintArt
