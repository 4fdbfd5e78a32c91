// The product picture: a digital pressure transmitter beside the product name.
#include "artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <iterator>

namespace {

constexpr int kWidth = 739;
constexpr int kHeight = 340;
constexpr qreal kAxis = 170; // the transmitter's vertical axis
const QColor kAccent(0x1F, 0x5F, 0x8B);
const QColor kInk(0x1D, 0x27, 0x33);

// Brushed stainless steel across a cylinder from x0 to x1.
QLinearGradient steel(qreal x0, qreal x1, int shade = 0)
{
    QLinearGradient g(x0, 0, x1, 0);
    const QColor stops[] = {QColor(0x86, 0x8F, 0x97), QColor(0xC4, 0xCB, 0xD1), QColor(0xF3, 0xF5, 0xF7),
                            QColor(0xDA, 0xDF, 0xE3), QColor(0xA4, 0xAC, 0xB3), QColor(0x78, 0x81, 0x89),
                            QColor(0x94, 0x9C, 0xA3)};
    const qreal at[] = {0.0, 0.14, 0.33, 0.47, 0.72, 0.92, 1.0};
    for (int i = 0; i < 7; ++i)
        g.setColorAt(at[i], stops[i].darker(100 + shade));
    return g;
}

QLinearGradient plastic(qreal x0, qreal x1)
{
    QLinearGradient g(x0, 0, x1, 0);
    g.setColorAt(0.0, QColor(0x1E, 0x21, 0x25));
    g.setColorAt(0.3, QColor(0x4A, 0x50, 0x57));
    g.setColorAt(0.5, QColor(0x3A, 0x3F, 0x45));
    g.setColorAt(1.0, QColor(0x16, 0x18, 0x1B));
    return g;
}

QRectF around(qreal width, qreal top, qreal bottom) { return QRectF(kAxis - width / 2, top, width, bottom - top); }

void drawBackdrop(QPainter &p)
{
    QRadialGradient glow(QPointF(kAxis, 165), 165);
    glow.setColorAt(0.0, QColor(0xE4, 0xEC, 0xF3));
    glow.setColorAt(0.7, QColor(0xF1, 0xF5, 0xF8));
    glow.setColorAt(1.0, QColor(0xFF, 0xFF, 0xFF));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(kAxis, 165), 165, 165);

    QRadialGradient shadow(QPointF(kAxis, 0), 1);
    shadow.setCenter(kAxis, 314);
    shadow.setFocalPoint(kAxis, 314);
    shadow.setRadius(70);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 70));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.save();
    p.translate(kAxis, 314);
    p.scale(1.0, 0.13);
    p.translate(-kAxis, -314);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(kAxis, 314), 70, 70);
    p.restore();
}

void drawConnector(QPainter &p)
{
    // Moulded cable plug with grip ribs.
    const QRectF body = around(38, 14, 58);
    QPainterPath plug;
    plug.addRoundedRect(body, 7, 7);
    p.setPen(QPen(QColor(0x10, 0x12, 0x14), 1));
    p.setBrush(plastic(body.left(), body.right()));
    p.drawPath(plug);
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    for (qreal y = 22; y < 52; y += 4)
        p.drawLine(QPointF(body.left() + 3, y), QPointF(body.right() - 3, y));
    // Cable leaving the plug at the top.
    const QRectF cable = around(14, 0, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(plastic(cable.left(), cable.right()));
    p.drawRect(cable);

    // Knurled coupling nut.
    const QRectF nut = around(48, 56, 82);
    p.setPen(QPen(QColor(0x55, 0x5C, 0x63), 1));
    p.setBrush(steel(nut.left(), nut.right(), 18));
    p.drawRoundedRect(nut, 2.5, 2.5);
    p.setPen(QPen(QColor(0x40, 0x46, 0x4C, 110), 1));
    for (qreal x = nut.left() + 3; x < nut.right() - 1; x += 3)
        p.drawLine(QPointF(x, nut.top() + 3), QPointF(x, nut.bottom() - 3));
    // Threaded stub of the housing.
    const QRectF stub = around(40, 82, 90);
    p.setPen(QPen(QColor(0x6E, 0x77, 0x7F), 1));
    p.setBrush(steel(stub.left(), stub.right(), 6));
    p.drawRect(stub);
}

void drawMarking(QPainter &p, const QRectF &area)
{
    const QColor laser(0x2E, 0x36, 0x3E, 210);
    QFont brand(QStringLiteral("Nimbus Sans"));
    brand.setBold(true);
    brand.setPixelSize(11);
    brand.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(brand);
    p.setPen(laser);
    p.drawText(QRectF(area.left(), area.top() + 6, area.width(), 14), Qt::AlignHCenter, QStringLiteral("ORVEL"));

    QFont small(QStringLiteral("Nimbus Sans"));
    small.setPixelSize(7);
    p.setFont(small);
    const QString lines[] = {QStringLiteral("0 … 10 bar"), QStringLiteral("I\u00B2C  3.3 V"),
                             QStringLiteral("IP67")};
    qreal y = area.top() + 24;
    for (const QString &line : lines) {
        p.drawText(QRectF(area.left(), y, area.width(), 10), Qt::AlignHCenter, line);
        y += 9;
    }
    // A small two-dimensional code, as the factory lasers onto every unit.
    const int cells = 10;
    const qreal cell = 1.6;
    const QPointF origin(kAxis - cells * cell / 2, y + 4);
    p.setPen(Qt::NoPen);
    p.setBrush(laser);
    quint32 bits = 0x9E3779B9u;
    for (int r = 0; r < cells; ++r) {
        for (int c = 0; c < cells; ++c) {
            bits = bits * 1664525u + 1013904223u;
            const bool finder = c == 0 || r == cells - 1;
            const bool clock = (r == 0 && c % 2 == 0) || (c == cells - 1 && r % 2 == 1);
            if (finder || clock || (r > 0 && c < cells - 1 && (bits >> 28) & 1))
                p.drawRect(QRectF(origin.x() + c * cell, origin.y() + r * cell, cell, cell));
        }
    }
}

void drawHousing(QPainter &p)
{
    const QRectF housing = around(80, 90, 206);
    QPainterPath body;
    body.addRoundedRect(housing, 4, 4);
    p.setPen(QPen(QColor(0x6A, 0x73, 0x7B), 1));
    p.setBrush(steel(housing.left(), housing.right()));
    p.drawPath(body);
    // Chamfers at both ends.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x50, 0x58, 0x60, 60));
    p.drawRect(QRectF(housing.left() + 1, housing.top() + 1, housing.width() - 2, 3));
    p.drawRect(QRectF(housing.left() + 1, housing.bottom() - 4, housing.width() - 2, 3));

    const QRectF marking(kAxis - 28, 110, 56, 82);
    p.setPen(QPen(QColor(0x55, 0x5E, 0x66, 90), 0.8));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(marking, 3, 3);
    drawMarking(p, marking);
}

void drawHexagon(QPainter &p)
{
    const qreal top = 206, bottom = 238;
    const qreal outer = 52, inner = 26; // half widths of the outline and of the front face
    QPainterPath outline;
    outline.moveTo(kAxis - outer + 4, top);
    outline.lineTo(kAxis + outer - 4, top);
    outline.quadTo(kAxis + outer, top + 1, kAxis + outer, top + 6);
    outline.lineTo(kAxis + outer, bottom - 6);
    outline.quadTo(kAxis + outer, bottom - 1, kAxis + outer - 4, bottom);
    outline.lineTo(kAxis - outer + 4, bottom);
    outline.quadTo(kAxis - outer, bottom - 1, kAxis - outer, bottom - 6);
    outline.lineTo(kAxis - outer, top + 6);
    outline.quadTo(kAxis - outer, top + 1, kAxis - outer + 4, top);
    p.setPen(QPen(QColor(0x5E, 0x67, 0x6F), 1));
    p.setBrush(QColor(0x9A, 0xA2, 0xA9));
    p.drawPath(outline);

    p.save();
    p.setClipPath(outline);
    p.setPen(Qt::NoPen);
    p.setBrush(steel(kAxis - outer, kAxis - inner, 22));
    p.drawRect(QRectF(kAxis - outer, top, outer - inner, bottom - top));
    p.setBrush(steel(kAxis - inner, kAxis + inner, -4));
    p.drawRect(QRectF(kAxis - inner, top, 2 * inner, bottom - top));
    p.setBrush(steel(kAxis + inner, kAxis + outer, 34));
    p.drawRect(QRectF(kAxis + inner, top, outer - inner, bottom - top));
    // Edges between the flats and the turned chamfer arcs.
    p.setPen(QPen(QColor(0x5A, 0x62, 0x6A, 150), 1));
    p.drawLine(QPointF(kAxis - inner, top + 3), QPointF(kAxis - inner, bottom - 3));
    p.drawLine(QPointF(kAxis + inner, top + 3), QPointF(kAxis + inner, bottom - 3));
    p.setPen(QPen(QColor(0x4A, 0x52, 0x5A, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(kAxis - outer, top - 3, 2 * outer, 12), 200 * 16, 140 * 16);
    p.drawArc(QRectF(kAxis - outer, bottom - 9, 2 * outer, 12), 20 * 16, 140 * 16);
    p.restore();
}

void drawProcessConnection(QPainter &p)
{
    const QRectF neck = around(50, 238, 245);
    p.setPen(QPen(QColor(0x6A, 0x73, 0x7B), 1));
    p.setBrush(steel(neck.left(), neck.right(), 12));
    p.drawRect(neck);

    // External thread: saw-tooth flanks and slanted crests.
    const qreal top = 245, bottom = 292, half = 24, pitch = 4.5;
    QPainterPath thread;
    thread.moveTo(kAxis - half, top);
    thread.lineTo(kAxis + half, top);
    for (qreal y = top; y < bottom; y += pitch) {
        thread.lineTo(kAxis + half + 1.5, y + pitch * 0.5);
        thread.lineTo(kAxis + half, qMin(y + pitch, bottom));
    }
    thread.lineTo(kAxis - half, bottom);
    for (qreal y = bottom; y > top; y -= pitch) {
        thread.lineTo(kAxis - half - 1.5, y - pitch * 0.5);
        thread.lineTo(kAxis - half, qMax(y - pitch, top));
    }
    thread.closeSubpath();
    p.setPen(QPen(QColor(0x66, 0x6F, 0x77), 1));
    p.setBrush(steel(kAxis - half, kAxis + half, 8));
    p.drawPath(thread);
    p.save();
    p.setClipPath(thread);
    for (qreal y = top + 1; y < bottom; y += pitch) {
        p.setPen(QPen(QColor(0x4C, 0x54, 0x5C, 120), 1));
        p.drawLine(QPointF(kAxis - half - 2, y), QPointF(kAxis + half + 2, y + 1.6));
        p.setPen(QPen(QColor(255, 255, 255, 90), 1));
        p.drawLine(QPointF(kAxis - half - 2, y + 1.4), QPointF(kAxis + half + 2, y + 3.0));
    }
    p.restore();

    // Sealing cone with the pressure port.
    QPainterPath tip;
    tip.moveTo(kAxis - 18, 292);
    tip.lineTo(kAxis + 18, 292);
    tip.lineTo(kAxis + 14, 304);
    tip.lineTo(kAxis - 14, 304);
    tip.closeSubpath();
    p.setPen(QPen(QColor(0x66, 0x6F, 0x77), 1));
    p.setBrush(steel(kAxis - 18, kAxis + 18, 14));
    p.drawPath(tip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x40, 0x46));
    p.drawRoundedRect(QRectF(kAxis - 3.5, 300, 7, 4), 1.5, 1.5);
}

void drawTransmitter(QPainter &p)
{
    drawConnector(p);
    drawHousing(p);
    drawHexagon(p);
    drawProcessConnection(p);
}

void drawTitle(QPainter &p)
{
    const qreal left = 340;
    QFont over(QStringLiteral("Nimbus Sans"));
    over.setBold(true);
    over.setPixelSize(13);
    over.setLetterSpacing(QFont::AbsoluteSpacing, 3.0);
    p.setFont(over);
    p.setPen(kAccent);
    p.drawText(QPointF(left + 2, 74), QStringLiteral("ORVEL SERVICE SOFTWARE"));

    QFont title(QStringLiteral("Nimbus Sans"));
    title.setBold(true);
    title.setPixelSize(40);
    p.setFont(title);
    const QFontMetricsF metrics(title);
    qreal x = left;
    const struct {
        QString text;
        QColor colour;
    } parts[] = {{QStringLiteral("Orvel "), kInk}, {QStringLiteral("I2C "), kAccent}, {QStringLiteral("Zorbit"), kInk}};
    for (const auto &part : parts) {
        p.setPen(part.colour);
        p.drawText(QPointF(x, 120), part.text);
        x += metrics.horizontalAdvance(part.text);
    }

    // The tagline below the name is a label of the windows, in the user's language.

    QLinearGradient rule(left, 0, 715, 0);
    rule.setColorAt(0.0, kAccent);
    rule.setColorAt(1.0, QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(rule);
    p.drawRect(QRectF(left + 1, 164, 375, 2));
}

// Clock and data of one bus transfer, drawn faintly along the bottom: the data line changes
// only while the clock is low.
void drawBusTrace(QPainter &p)
{
    const qreal left = 341, step = 9;
    const int bits[] = {0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 1, 0};
    const qreal clockHigh = 290, clockLow = 300, dataHigh = 310, dataLow = 320;
    p.setPen(QPen(QColor(0xC3, 0xD2, 0xDF), 1.4, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);

    QPainterPath clock;
    clock.moveTo(left, clockHigh);
    qreal x = left + step;
    clock.lineTo(x, clockHigh);
    for (size_t i = 0; i < std::size(bits); ++i) {
        clock.lineTo(x, clockLow);
        clock.lineTo(x + step, clockLow);
        clock.lineTo(x + step, clockHigh);
        clock.lineTo(x + 2 * step, clockHigh);
        x += 2 * step;
    }
    clock.lineTo(x + step, clockHigh);
    p.drawPath(clock);

    QPainterPath data;
    // Start condition: data falls while the clock is high.
    data.moveTo(left, dataHigh);
    data.lineTo(left + step / 2, dataHigh);
    data.lineTo(left + step / 2 + 1.5, dataLow);
    qreal level = dataLow;
    x = left + step;
    for (int bit : bits) {
        const qreal next = bit ? dataHigh : dataLow;
        const qreal change = x + step / 2;
        data.lineTo(change, level);
        data.lineTo(change + 1.5, next);
        level = next;
        x += 2 * step;
    }
    data.lineTo(x + step, level);
    p.drawPath(data);
}

} // namespace

QImage drawProductPicture()
{
    QImage picture(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawBackdrop(p);
    drawTransmitter(p);
    drawTitle(p);
    drawBusTrace(p);
    p.end();
    return picture.convertToFormat(QImage::Format_RGB32);
}
