#include "editor/shell/ToolbarArt.h"

#include "editor/support/PaintArt.h"

#include <cmath>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace ToolbarArt {

namespace {

const QColor kOutline(52, 60, 78);
const QColor kPaper(252, 252, 246);
const QColor kFolder(236, 184, 72);
const QColor kFolderDark(196, 140, 40);
const QColor kBlade(170, 180, 196);
const QColor kGreen(46, 158, 72);
const QColor kRed(206, 52, 48);
const QColor kBlue(52, 108, 196);
const QColor kSheet(40, 128, 78);
const QColor kWood(168, 112, 62);
const QColor kText(120, 128, 150);

QPen Outline(qreal width = 1.2)
{
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet of paper with a folded corner and a few lines of text.
void Page(QPainter& p, const QRectF& r, bool lines = true)
{
    const qreal fold = r.width() * 0.3;
    p.setPen(Outline());
    p.setBrush(kPaper);
    p.drawPath(
        PaintArt::Polygon({r.topLeft(), QPointF(r.right() - fold, r.top()),
                           QPointF(r.right(), r.top() + fold), r.bottomRight(), r.bottomLeft()}));
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(220, 222, 214));
    p.drawPath(corner);
    if (!lines)
        return;
    p.setPen(QPen(kText, 1.3));
    for (qreal y = r.top() + fold + 3; y < r.bottom() - 3; y += 3.5)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void Plus(QPainter& p, QPointF c, qreal arm, const QColor& color)
{
    p.setPen(QPen(Qt::white, arm * 0.9 + 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c - QPointF(arm, 0), c + QPointF(arm, 0));
    p.drawLine(c - QPointF(0, arm), c + QPointF(0, arm));
    p.setPen(QPen(color, arm * 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c - QPointF(arm, 0), c + QPointF(arm, 0));
    p.drawLine(c - QPointF(0, arm), c + QPointF(0, arm));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color)
{
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    p.setPen(QPen(color, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    QPolygonF head({to + d * 3, to - d * 4 + n * 4.5, to - d * 4 - n * 4.5});
    p.setBrush(color);
    p.setPen(QPen(color, 1));
    p.drawPolygon(head);
}

// A small spreadsheet: header row and a grid of cells.
void Sheet(QPainter& p, const QRectF& r)
{
    p.setPen(Outline());
    p.setBrush(kPaper);
    p.drawRect(r);
    p.fillRect(QRectF(r.left() + 0.6, r.top() + 0.6, r.width() - 1.2, 5), kSheet);
    p.setPen(QPen(QColor(150, 186, 160), 1));
    for (qreal x = r.left() + r.width() / 3; x < r.right() - 1; x += r.width() / 3)
        p.drawLine(QPointF(x, r.top() + 5), QPointF(x, r.bottom()));
    for (qreal y = r.top() + 10; y < r.bottom() - 1; y += 5)
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
}

void PaintNew(QPainter& p)
{
    Page(p, QRectF(6, 3, 19, 25), false);
    // A spark: a fresh, empty archive.
    QPainterPath star;
    const QPointF c(23, 9);
    for (int i = 0; i < 8; ++i) {
        const qreal radius = (i % 2) ? 2.2 : 6.5;
        const qreal angle = i * M_PI / 4 - M_PI / 2;
        const QPointF pt = c + QPointF(std::cos(angle), std::sin(angle)) * radius;
        i == 0 ? star.moveTo(pt) : star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(190, 130, 0), 1));
    p.setBrush(QColor(255, 212, 40));
    p.drawPath(star);
}

void PaintOpen(QPainter& p)
{
    p.setPen(Outline());
    p.setBrush(kFolderDark);
    p.drawPath(PaintArt::Polygon({{3, 8}, {11, 8}, {13, 11}, {26, 11}, {26, 26}, {3, 26}}));
    Page(p, QRectF(8, 5, 15, 14));
    p.setBrush(kFolder);
    p.setPen(Outline());
    p.drawPath(PaintArt::Polygon({{3, 26}, {8, 15}, {30, 15}, {26, 26}}));
}

void PaintCut(QPainter& p)
{
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(kBlade);
    QPolygonF left({{14.5, 3}, {17, 3}, {14.5, 20}, {12.5, 19}});
    QPolygonF right({{15, 3}, {17.5, 3}, {19.5, 19}, {17.5, 20}});
    p.drawPolygon(left);
    p.drawPolygon(right);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kRed, 3));
    p.drawEllipse(QPointF(10.5, 24), 4.5, 4.5);
    p.drawEllipse(QPointF(21.5, 24), 4.5, 4.5);
    p.setBrush(kOutline);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16, 16), 1.4, 1.4);
}

void PaintCopy(QPainter& p)
{
    Page(p, QRectF(4, 3, 16, 20));
    Page(p, QRectF(12, 9, 16, 20));
}

void PaintPaste(QPainter& p)
{
    p.setPen(Outline());
    p.setBrush(kWood);
    p.drawRoundedRect(QRectF(4, 5, 19, 24), 2, 2);
    p.setBrush(kBlade);
    p.drawRoundedRect(QRectF(9, 2.5, 9, 5), 1.5, 1.5);
    Page(p, QRectF(13, 12, 15, 18));
}

void PaintAdd(QPainter& p)
{
    Page(p, QRectF(5, 3, 19, 25));
    Plus(p, QPointF(22, 22), 5.5, kGreen);
}

void PaintEdit(QPainter& p)
{
    Page(p, QRectF(4, 3, 19, 25));
    p.save();
    p.translate(21, 17);
    p.rotate(45);
    p.setPen(Outline(1));
    p.setBrush(QColor(250, 200, 60));
    p.drawRect(QRectF(-3, -12, 6, 17));
    p.setBrush(QColor(240, 150, 150));
    p.drawRect(QRectF(-3, -15, 6, 3));
    QPolygonF tip({{-3, 5}, {3, 5}, {0, 10}});
    p.setBrush(QColor(238, 214, 170));
    p.drawPolygon(tip);
    p.restore();
}

void PaintDelete(QPainter& p)
{
    Page(p, QRectF(4, 3, 19, 25));
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 15), QPointF(27, 27));
    p.drawLine(QPointF(27, 15), QPointF(15, 27));
    p.setPen(QPen(kRed, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 15), QPointF(27, 27));
    p.drawLine(QPointF(27, 15), QPointF(15, 27));
}

void PaintView(QPainter& p)
{
    Page(p, QRectF(4, 3, 19, 25));
    p.setPen(QPen(kOutline, 2.2));
    p.setBrush(QColor(200, 228, 255, 200));
    p.drawEllipse(QPointF(18, 16), 7, 7);
    p.setPen(QPen(kWood, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23.5, 21.5), QPointF(29, 27));
}

void PaintExport(QPainter& p)
{
    Sheet(p, QRectF(3, 9, 19, 20));
    Arrow(p, QPointF(14, 18), QPointF(26, 6), kBlue);
}

void PaintImport(QPainter& p)
{
    Sheet(p, QRectF(3, 9, 19, 20));
    Arrow(p, QPointF(28, 4), QPointF(15, 17), kGreen);
}

using Painter = void (*)(QPainter&);
constexpr Painter kPainters[ImageCount] = {PaintNew,   PaintOpen,   PaintCut,   PaintCopy,
                                           PaintPaste, PaintAdd,    PaintEdit,  PaintDelete,
                                           PaintView,  PaintExport, PaintImport};

QImage PaintImage(int index)
{
    return PaintArt::OnTransparent(
        QImage(ImageSize, ImageSize, QImage::Format_ARGB32_Premultiplied), kPainters[index]);
}

// Grey, pale and flat: the look of a command that cannot run now.
QImage Greyed(QImage image)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 3 / 5);
        }
    }
    return image;
}

// Lit from behind with a soft glow under the mouse.
QImage Lit(const QImage& image)
{
    return PaintArt::OnTransparent(
        QImage(ImageSize, ImageSize, QImage::Format_ARGB32_Premultiplied), [&](QPainter& p) {
            QRadialGradient glow(QPointF(16, 16), 17);
            glow.setColorAt(0.0, QColor(255, 236, 150, 230));
            glow.setColorAt(1.0, QColor(255, 236, 150, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(QPointF(16, 16), 16, 16);
            p.drawImage(QPointF(-0.5, -1), image);
        });
}

} // namespace

QList<QPixmap> ImageList(Look look)
{
    QList<QPixmap> images;
    for (int i = 0; i < ImageCount; ++i) {
        const QImage normal = PaintImage(i);
        switch (look) {
        case Look::Normal:
            images.append(QPixmap::fromImage(normal));
            break;
        case Look::Disabled:
            images.append(QPixmap::fromImage(Greyed(normal)));
            break;
        case Look::Hot:
            images.append(QPixmap::fromImage(Lit(normal)));
            break;
        }
    }
    return images;
}

} // namespace ToolbarArt
