#include "app/number_pictures.h"

#include <QFont>
#include <QPainter>

namespace number_pictures {

Look look(int index)
{
    switch (index) {
    case 0: return {QColor(0x3C, 0xC8, 0x3C), QColor(0x00, 0x50, 0x00), '3'};
    case 1: return {QColor(0x00, 0x64, 0x00), QColor(0x90, 0xEE, 0x90), '2'};
    case 2: return {QColor(0xFF, 0x9A, 0x1E), QColor(0xA8, 0x50, 0x00), '1'};
    case 3: return {QColor(0xE0, 0x20, 0x20), QColor(0x00, 0x00, 0x00), '0'};
    default: return {QColor(0xFF, 0xBF, 0x00), QColor(0x80, 0x00, 0x80), '?'};
    }
}

QImage picture(int index)
{
    const Look l = look(index);
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(l.field.darker(140), 1));
    painter.setBrush(l.field);
    painter.drawRoundedRect(QRectF(0.5, 0.5, Size - 1, Size - 1), 5, 5);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(l.glyph);
    painter.drawText(QRect(0, 0, Size, Size), Qt::AlignCenter, QString(QChar::fromLatin1(l.text)));
    return image;
}

} // namespace number_pictures
