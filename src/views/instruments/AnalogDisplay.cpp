#include "views/instruments/AnalogDisplay.h"

#include "views/instruments/gauge_painter.h"
#include "views/instruments/image_downsample.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cstring>

namespace {

constexpr int kMinimumWidth = 60;
constexpr int kMinimumHeight = 50;

// The rectangle grown outwards to whole k x k blocks.
QRect AlignToBlocks(const QRect &rect, int k)
{
    if (rect.isEmpty())
        return QRect();
    const int left = rect.left() / k * k;
    const int top = rect.top() / k * k;
    const int right = (rect.right() / k + 1) * k - 1;
    const int bottom = (rect.bottom() / k + 1) * k - 1;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void CopyArea(const QImage &from, QImage &to, const QRect &area)
{
    const QRect rect = area & from.rect() & to.rect();
    if (rect.isEmpty())
        return;
    const std::size_t bytes = static_cast<std::size_t>(rect.width()) * sizeof(quint32);
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        std::memcpy(reinterpret_cast<quint32 *>(to.scanLine(y)) + rect.left(),
                    reinterpret_cast<const quint32 *>(from.constScanLine(y)) + rect.left(), bytes);
}

} // namespace

TAnalogDisplay::TAnalogDisplay(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    fEnabledColours = f.colours;
    resize(225, 180);
    Redraw();
}

void TAnalogDisplay::AssignRedraw(TColor &field, TColor value)
{
    if (field == value)
        return;
    field = value;
    Redraw();
}

void TAnalogDisplay::AssignRedraw(int &field, int value)
{
    if (field == value)
        return;
    field = value;
    Redraw();
}

void TAnalogDisplay::AssignScale(double &field, double value)
{
    if (field == value)
        return;
    field = value;
    if (f.up_date)
        Redraw();
}

void TAnalogDisplay::SetMinColor(TColor value) { AssignRedraw(f.colours.MinColor, value); }
void TAnalogDisplay::SetMidColor(TColor value) { AssignRedraw(f.colours.MidColor, value); }
void TAnalogDisplay::SetMaxColor(TColor value) { AssignRedraw(f.colours.MaxColor, value); }
void TAnalogDisplay::SetFaceColor(TColor value) { AssignRedraw(f.colours.FaceColor, value); }
void TAnalogDisplay::SetTicksColor(TColor value) { AssignRedraw(f.colours.TicksColor, value); }
void TAnalogDisplay::SetValueColor(TColor value) { AssignRedraw(f.colours.ValueColor, value); }
void TAnalogDisplay::SetCaptionColor(TColor value) { AssignRedraw(f.colours.CaptionColor, value); }
void TAnalogDisplay::SetMarginColor(TColor value) { AssignRedraw(f.colours.MarginColor, value); }
void TAnalogDisplay::SetCenterColor(TColor value) { AssignRedraw(f.colours.CenterColor, value); }
void TAnalogDisplay::SetCircleColor(TColor value) { AssignRedraw(f.colours.CircleColor, value); }
void TAnalogDisplay::SetCenterRadius(int value) { AssignRedraw(f.CenterRadius, value); }
void TAnalogDisplay::SetCircleRadius(int value) { AssignRedraw(f.CircleRadius, value); }
void TAnalogDisplay::SetMargin(int value) { AssignRedraw(f.Margin, value); }
void TAnalogDisplay::SetNumberMainTicks(int value) { AssignRedraw(f.NumberMainTicks, value); }
void TAnalogDisplay::SetNumberMinorTicks(int value) { AssignRedraw(f.NumberMinorTicks, value); }
void TAnalogDisplay::SetDigits(int value) { AssignRedraw(f.Digits, value); }
void TAnalogDisplay::SetLengthMainTicks(int value) { AssignRedraw(f.LengthMainTicks, value); }
void TAnalogDisplay::SetLengthSubTicks(int value) { AssignRedraw(f.LengthSubTicks, value); }

void TAnalogDisplay::SetArrowColor(TColor value)
{
    if (f.colours.ArrowColor == value)
        return;
    f.colours.ArrowColor = value;
    UpdatePointer();
}

void TAnalogDisplay::SetStyle(TStyle value)
{
    if (f.Style == value)
        return;
    f.Style = value;
    Redraw();
}

void TAnalogDisplay::SetAngle(int value)
{
    if (f.Angle == value)
        return;
    if (gauge::AngleAccepted(value))
        f.Angle = value;
    Redraw();
}

void TAnalogDisplay::SetArrowWidth(int value)
{
    value = gauge::ClampArrowWidth(value);
    if (f.ArrowWidth == value)
        return;
    f.ArrowWidth = value;
    UpdatePointer();
}

void TAnalogDisplay::SetDigitsDigital(int value)
{
    if (f.DigitsDigital == value)
        return;
    f.DigitsDigital = value;
    UpdatePointer();
}

// The range arc widths redraw even when unchanged.
void TAnalogDisplay::SetIndMinWidth(int value)
{
    f.IndMinWidth = value;
    Redraw();
}

void TAnalogDisplay::SetIndMidWidth(int value)
{
    f.IndMidWidth = value;
    Redraw();
}

void TAnalogDisplay::SetIndMaxWidth(int value)
{
    f.IndMaxWidth = value;
    Redraw();
}

void TAnalogDisplay::SetFaceOptions(TFaceOptions value)
{
    if (f.FaceOptions == value)
        return;
    f.FaceOptions = value;
    Redraw();
}

void TAnalogDisplay::SetCaption(const QString &value)
{
    if (f.Caption == value)
        return;
    f.Caption = value;
    Redraw();
}

void TAnalogDisplay::SetScaleMax(double value) { AssignScale(f.ScaleMax, value); }
void TAnalogDisplay::SetScaleMin(double value) { AssignScale(f.ScaleMin, value); }
void TAnalogDisplay::SetIndMaximum(double value) { AssignScale(f.IndMaximum, value); }
void TAnalogDisplay::SetIndMinimum(double value) { AssignScale(f.IndMinimum, value); }

void TAnalogDisplay::Setup_date(bool value)
{
    if (f.up_date == value)
        return;
    f.up_date = value;
    if (value)
        Redraw();
}

void TAnalogDisplay::SetAntiAliased(TAntialiased value)
{
    if (f.AntiAliased == value)
        return;
    f.AntiAliased = value;
    Redraw();
}

void TAnalogDisplay::SetPosition(double value)
{
    if (f.Position == value)
        return;
    f.Position = value;
    const gauge::RangeNotices notices = gauge::NoticesFor(value, f.IndMinimum, f.IndMaximum);
    if (notices.overMax && OnOverMax)
        OnOverMax();
    if (notices.overMin && OnOverMin)
        OnOverMin();
    if (notices.inOkRange && OnInOKRange)
        OnInOKRange();
    UpdatePointer();
}

gauge::Geometry TAnalogDisplay::SurfaceGeometry() const
{
    return gauge::ComputeGeometry(FBackBitmap.width(), FBackBitmap.height(), f.Margin, ScaleFactor(), f.Style,
                                  f.Angle);
}

bool TAnalogDisplay::FitSurfaces()
{
    const int k = ScaleFactor();
    const QSize target = size() * k;
    const bool reducedFits = k > 1 ? FAABitmap.size() == size() : FAABitmap.isNull();
    if (FBackBitmap.size() == target && reducedFits)
        return false;
    FBackBitmap = QImage(target, kSupersampleFormat);
    FFaceBitmap = QImage(target, kSupersampleFormat);
    FAABitmap = k > 1 ? QImage(size(), kSupersampleFormat) : QImage();
    fPointerArea = QRect();
    return true;
}

void TAnalogDisplay::Redraw()
{
    FitSurfaces();
    if (FBackBitmap.isNull())
        return;
    const gauge::Geometry g = SurfaceGeometry();
    f.Angle = g.angle;
    gauge::DrawFace(FBackBitmap, f, g, ScaleFactor(), font());
    // The whole face changed: everything must be reduced again.
    fPointerArea = FFaceBitmap.rect();
    UpdatePointer();
}

void TAnalogDisplay::UpdatePointer()
{
    if (FitSurfaces()) {
        Redraw();
        return;
    }
    if (FBackBitmap.isNull())
        return;
    const int k = ScaleFactor();
    const gauge::Geometry g = SurfaceGeometry();
    f.Angle = g.angle;
    // Only the last pointer's area differs from the face; restore it alone.
    const QRect erased = fPointerArea;
    CopyArea(FBackBitmap, FFaceBitmap, erased);
    const QRect drawn = AlignToBlocks(gauge::DrawPointer(FFaceBitmap, f, g, k, font()) & FFaceBitmap.rect(), k);
    const QRect changed = erased | drawn;
    if (k > 1 && !changed.isEmpty())
        Downsample(FFaceBitmap, FAABitmap, k,
                   QRect(changed.left() / k, changed.top() / k, changed.width() / k, changed.height() / k));
    fPointerArea = drawn;
    update();
}

void TAnalogDisplay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (width() < kMinimumWidth || height() < kMinimumHeight) {
        resize(std::max(width(), kMinimumWidth), std::max(height(), kMinimumHeight));
        return;
    }
    if (FitSurfaces())
        Redraw();
}

void TAnalogDisplay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), ScaleFactor() > 1 ? FAABitmap : FFaceBitmap);
}

void TAnalogDisplay::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Redraw();
    } else if (event->type() == QEvent::EnabledChange) {
        if (isEnabled()) {
            f.colours = fEnabledColours;
        } else {
            fEnabledColours = f.colours;
            f.colours = gauge::DisabledColours();
        }
        Redraw();
    }
}

void TAnalogDisplay::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
        OnClick();
}

void TAnalogDisplay::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
}
