// The message dialog's icons: warning, error, information, confirmation, 32 x 32 each.
#include "artwork.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

namespace {

constexpr int kSize = 32;

struct Tint {
    QColor light;
    QColor dark;
    QColor rim;
};

QLinearGradient verticalGradient(const Tint &tint, qreal top, qreal bottom)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0.0, tint.light);
    g.setColorAt(1.0, tint.dark);
    return g;
}

void drawDisc(QPainter &p, const Tint &tint)
{
    p.setPen(QPen(tint.rim, 1.0));
    p.setBrush(verticalGradient(tint, 2, 30));
    p.drawEllipse(QPointF(16, 16), 14.0, 14.0);
    // A faint sheen on the upper half keeps the disc from looking flat.
    QLinearGradient sheen(0, 3, 0, 16);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 90));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawEllipse(QRectF(5, 3, 22, 14));
}

void drawWarning(QPainter &p)
{
    const Tint amber{QColor(0xFF, 0xD5, 0x4F), QColor(0xF2, 0xA3, 0x00), QColor(0xA8, 0x6E, 0x00)};
    QPainterPath triangle;
    triangle.moveTo(16, 3);
    triangle.lineTo(29.5, 28);
    triangle.lineTo(2.5, 28);
    triangle.closeSubpath();
    p.setPen(QPen(amber.rim, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(verticalGradient(amber, 3, 28));
    p.drawPath(triangle);
    const QColor ink(0x3B, 0x2A, 0x00);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPainterPath bar;
    bar.moveTo(14.3, 10.5);
    bar.lineTo(17.7, 10.5);
    bar.lineTo(17.0, 20.5);
    bar.lineTo(15.0, 20.5);
    bar.closeSubpath();
    p.drawPath(bar);
    p.drawEllipse(QPointF(16, 24.0), 1.9, 1.9);
}

void drawError(QPainter &p)
{
    drawDisc(p, {QColor(0xEE, 0x5A, 0x52), QColor(0xBE, 0x23, 0x1C), QColor(0x8A, 0x18, 0x13)});
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void drawInformation(QPainter &p)
{
    drawDisc(p, {QColor(0x5B, 0x9B, 0xE6), QColor(0x1E, 0x5E, 0xB4), QColor(0x15, 0x46, 0x88)});
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9.6), 2.2, 2.2);
    p.drawRoundedRect(QRectF(14.2, 13.6, 3.6, 11.4), 1.0, 1.0);
}

void drawConfirmation(QPainter &p)
{
    drawDisc(p, {QColor(0x4C, 0xB3, 0x8A), QColor(0x1C, 0x7A, 0x56), QColor(0x14, 0x5C, 0x40)});
    QPainterPath hook;
    hook.moveTo(11.6, 12.4);
    hook.cubicTo(11.6, 8.6, 14.0, 7.0, 16.2, 7.0);
    hook.cubicTo(18.8, 7.0, 20.6, 8.8, 20.6, 11.2);
    hook.cubicTo(20.6, 13.8, 18.6, 14.6, 17.3, 15.6);
    hook.cubicTo(16.3, 16.4, 16.0, 17.2, 16.0, 19.2);
    p.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 24.0), 2.0, 2.0);
}

void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace

QImage drawDialogIconStrip()
{
    QImage strip(4 * kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    void (*const icons[])(QPainter &) = {drawWarning, drawError, drawInformation, drawConfirmation};
    for (int i = 0; i < 4; ++i) {
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(i * kSize, 0);
        p.setClipRect(0, 0, kSize, kSize);
        icons[i](p);
    }
    return strip.convertToFormat(QImage::Format_ARGB32);
}

bool writeBmpWithAlpha(const QImage &image, const QString &fileName)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const quint32 headerSize = 124; // BITMAPV5HEADER
    const quint32 pixelBytes = quint32(argb.width() * argb.height() * 4);
    QByteArray out;
    out.append("BM");
    put32(out, 14 + headerSize + pixelBytes);
    put32(out, 0);
    put32(out, 14 + headerSize);
    put32(out, headerSize);
    put32(out, quint32(argb.width()));
    put32(out, quint32(argb.height())); // bottom-up rows
    put16(out, 1);
    put16(out, 32);
    put32(out, 3); // BI_BITFIELDS
    put32(out, pixelBytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (quint32 mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        put32(out, mask);
    put32(out, 0x73524742); // 'sRGB'
    for (int i = 0; i < 12; ++i)
        put32(out, 0); // end points and gamma
    put32(out, 4);     // LCS_GM_IMAGES
    for (int i = 0; i < 3; ++i)
        put32(out, 0); // profile data, size, reserved
    for (int y = argb.height() - 1; y >= 0; --y)
        for (int x = 0; x < argb.width(); ++x)
            put32(out, argb.pixel(x, y));
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}
