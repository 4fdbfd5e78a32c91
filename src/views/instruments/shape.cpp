#include "views/instruments/shape.h"

#include <QMouseEvent>
#include <QPainter>

TShape::TShape(QWidget *parent) : QWidget(parent) {}

void TShape::Set_brush_color(TColor color)
{
    if (color == fBrushColor)
        return;
    fBrushColor = color;
    update();
}

void TShape::Set_radius(int radius)
{
    fRadius = radius;
    update();
}

void TShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = TColorToQColor(fBrushColor);
    painter.setPen(QPen(isEnabled() ? fill.darker(160) : palette().color(QPalette::Mid), 1));
    painter.setBrush(isEnabled() ? fill : palette().color(QPalette::Button));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), fRadius, fRadius);
}

void TShape::mousePressEvent(QMouseEvent *event)
{
    emit mouseDown(event->button());
    QWidget::mousePressEvent(event);
}
