// A small rounded rectangle filled with one colour: the status lamp, the curve-colour markers
// and the colour swatches of the chart settings panel.
#pragma once

#include "views/instruments/tcolor.h"

#include <QWidget>

class TShape : public QWidget
{
    Q_OBJECT
public:
    explicit TShape(QWidget *parent = nullptr);

    TColor Get_brush_color() const { return fBrushColor; }
    void Set_brush_color(TColor color);
    // Corner radius in pixels.
    void Set_radius(int radius);

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    TColor fBrushColor = 0xFFFFFF;
    int fRadius = 4;
};
