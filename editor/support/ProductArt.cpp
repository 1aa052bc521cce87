#include "editor/support/ProductArt.h"

#include "editor/support/PaintArt.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ProductArt {

namespace {

const QColor kNight(24, 38, 78);
const QColor kDusk(62, 86, 150);
const QColor kParchment(250, 238, 200);
const QColor kParchmentEdge(196, 160, 92);
const QColor kInk(92, 58, 24);
const QColor kGold(242, 196, 74);

void PaintSky(QPainter& p, const QRect& area)
{
    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0.0, kNight);
    sky.setColorAt(1.0, kDusk);
    p.fillRect(area, sky);
    // A few fixed stars: a fortune is read from the sky.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    const QPoint stars[] = {{118, 14}, {162, 9},  {210, 18}, {258, 9},
                            {287, 44}, {140, 92}, {268, 94}};
    for (const QPoint& s : stars)
        p.drawEllipse(s, 1, 1);
}

// A rolled scroll with a few lines of writing and a percent sign, the mark
// that separates fortunes.
void PaintScroll(QPainter& p, const QRectF& r)
{
    const qreal roll = r.width() * 0.14;
    QPainterPath sheet;
    sheet.addRoundedRect(r.adjusted(roll / 2, 0, -roll / 2, 0), 3, 3);
    p.setPen(QPen(kParchmentEdge, 1.5));
    p.setBrush(kParchment);
    p.drawPath(sheet);
    for (const qreal x : {r.left(), r.right() - roll}) {
        QLinearGradient g(x, 0, x + roll, 0);
        g.setColorAt(0.0, kParchmentEdge);
        g.setColorAt(0.5, kParchment);
        g.setColorAt(1.0, kParchmentEdge);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(x, r.top() - 4, roll, r.height() + 8), roll / 2, roll / 2);
    }
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
    const qreal left = r.left() + roll * 1.4;
    const qreal right = r.right() - roll * 1.4;
    const qreal step = r.height() / 6;
    for (int i = 1; i <= 4; ++i) {
        const qreal y = r.top() + step * (i + (i > 2 ? 0.6 : 0));
        const qreal end = (i == 2 || i == 4) ? left + (right - left) * 0.6 : right;
        p.drawLine(QPointF(left, y), QPointF(end, y));
    }
    QFont mark(QStringLiteral("DejaVu Sans"));
    mark.setPixelSize(static_cast<int>(step * 1.3));
    mark.setBold(true);
    p.setFont(mark);
    p.drawText(QRectF(left, r.top() + step * 2.3, right - left, step * 1.6), Qt::AlignCenter,
               QStringLiteral("%"));
}

void PaintTitle(QPainter& p, const QString& title, const QString& subtitle)
{
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setBold(true);
    // The largest size up to 27 pixels at which the title fits its room.
    for (int size = 27; size > 10; --size) {
        big.setPixelSize(size);
        if (QFontMetrics(big).horizontalAdvance(title) <= 182)
            break;
    }
    p.setFont(big);
    p.setPen(kGold);
    p.drawText(QRect(100, 16, 188, 36), Qt::AlignLeft | Qt::AlignVCenter, title);
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(QColor(226, 232, 250));
    p.drawText(QRect(102, 54, 186, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, subtitle);
}

QPixmap PaintBanner(const QString& title, const QString& subtitle)
{
    QPixmap pixmap(BannerWidth, BannerHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    PaintSky(p, pixmap.rect());
    PaintScroll(p, QRectF(14, 18, 76, 68));
    PaintTitle(p, title, subtitle);
    return pixmap;
}

} // namespace

QPixmap Logo()
{
    return PaintBanner(QStringLiteral("ZorvaFortune"), QStringLiteral("Fortune Archive Editor"));
}

QPixmap AboutBanner()
{
    return PaintBanner(QStringLiteral("ZorvaFortune"),
                       QStringLiteral("Editor \u2014 keep the fortunes your player shows"));
}

QPixmap AppIcon()
{
    return PaintArt::OnTransparent(QPixmap(64, 64), [](QPainter& p) {
        QPainterPath frame;
        frame.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
        p.setClipPath(frame);
        PaintSky(p, QRect(0, 0, 64, 64));
        p.setClipping(false);
        PaintScroll(p, QRectF(10, 12, 44, 40));
    });
}

QCursor HandCursor()
{
    const QPixmap pixmap = PaintArt::OnTransparent(QPixmap(32, 32), [](QPainter& p) {
        QPainterPath hand;
        // Index finger pointing up, three folded fingers and the thumb.
        hand.addRoundedRect(QRectF(9, 1, 5, 17), 2.5, 2.5);
        hand.addRoundedRect(QRectF(13.5, 9, 5, 10), 2.5, 2.5);
        hand.addRoundedRect(QRectF(18, 10, 5, 10), 2.5, 2.5);
        hand.addRoundedRect(QRectF(22.5, 11.5, 4.5, 9), 2.2, 2.2);
        hand.addRoundedRect(QRectF(9, 15, 18, 14), 5, 5);
        QPainterPath thumb;
        thumb.moveTo(10, 20);
        thumb.lineTo(4, 14);
        thumb.quadTo(1.5, 13, 2.5, 17);
        thumb.lineTo(9, 27);
        thumb.closeSubpath();
        hand = hand.united(thumb);
        p.setPen(QPen(Qt::black, 1.4));
        p.setBrush(Qt::white);
        p.drawPath(hand.simplified());
    });
    return QCursor(pixmap, 11, 1);
}

} // namespace ProductArt
