#include "views/chart/lock_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace lock_pictures {

namespace {

void draw_lock(QPainter &painter, const QColor &body, const QColor &edge, bool open)
{
    // Shackle: a U above the body, lifted and off its right post when open.
    QPainterPath shackle;
    const qreal lift = open ? 2.5 : 0.0;
    shackle.moveTo(4.5, 8.0 - (open ? 1.0 : 0.0));
    shackle.lineTo(4.5, 5.0 - lift);
    shackle.arcTo(QRectF(4.5, 1.5 - lift, 6.0, 7.0), 180, -180);
    shackle.lineTo(10.5, open ? 5.0 - lift : 8.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(edge, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(shackle);
    painter.setPen(QPen(edge, 1.0));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(2.5, 7.5, 10.0, 7.5), 1.5, 1.5);
    painter.setPen(QPen(edge.darker(130), 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(7.5, 10.0), QPointF(7.5, 12.5));
}

void draw_spark(QPainter &painter)
{
    QPainterPath star;
    const QPointF c(13.0, 3.0);
    for (int i = 0; i < 8; ++i) {
        const qreal r = i % 2 == 0 ? 3.0 : 1.0;
        const QPointF p = c + QPointF(r * std::cos(i * M_PI / 4), r * std::sin(i * M_PI / 4));
        i == 0 ? star.moveTo(p) : star.lineTo(p);
    }
    star.closeSubpath();
    painter.setPen(QPen(QColor(200, 150, 0), 0.6));
    painter.setBrush(QColor(255, 220, 0));
    painter.drawPath(star);
}

} // namespace

QImage picture(int mode)
{
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (mode < 0 || mode >= Count)
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (mode == 2)
        draw_lock(painter, QColor(220, 30, 30), QColor(120, 0, 0), false);
    else
        draw_lock(painter, QColor(170, 170, 170), QColor(80, 80, 80), true);
    if (mode == 0)
        draw_spark(painter);
    return image;
}

} // namespace lock_pictures
