#include "views/instruments/BarDisplay.h"

#include "views/instruments/font_size.h"
#include "services/utils/ZUtils.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <algorithm>

namespace {

constexpr QImage::Format kSurfaceFormat = QImage::Format_RGB32;

// Fills columns left..right-1 and rows top..bottom-1, clipped to the surface.
void FillCells(QPainter &painter, const QSize &surface, int left, int top, int right, int bottom, TColor colour)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, surface.width());
    bottom = std::min(bottom, surface.height());
    if (right > left && bottom > top)
        painter.fillRect(QRect(left, top, right - left, bottom - top), TColorToQColor(colour));
}

void Outline(QPainter &painter, const QSize &surface, TColor colour)
{
    const int w = surface.width();
    const int h = surface.height();
    FillCells(painter, surface, 0, 0, w, 1, colour);
    FillCells(painter, surface, 0, h - 1, w, h, colour);
    FillCells(painter, surface, 0, 0, 1, h, colour);
    FillCells(painter, surface, w - 1, 0, w, h, colour);
}

} // namespace

TBarDisplay::TBarDisplay(QWidget *parent, const QString &name)
    : QWidget(parent)
{
    setObjectName(name);
    f.Caption = name;
    resize(128, 480);
    FitSurfaces();
    if (!Fbw_buffer.isNull()) {
        QPainter painter(&Fbw_buffer);
        FillCells(painter, Fbw_buffer.size(), 0, 0, Fbw_buffer.width(), Fbw_buffer.height(), f.FaceColor);
        Outline(painter, Fbw_buffer.size(), f.FrameColor);
    }
    Fpaint_buffer = Fbw_buffer.copy();
}

template <typename T>
void TBarDisplay::Assign(T &field, const T &value, bar_scale::Property property)
{
    if (field == value)
        return;
    field = value;
    switch (bar_scale::RedrawFor(property)) {
    case bar_scale::Redraw::Scale:
        DrawScale();
        break;
    case bar_scale::Redraw::ScaleAndBar:
        DrawScale();
        DrawBar();
        break;
    case bar_scale::Redraw::Bar:
        DrawBar();
        break;
    }
}

void TBarDisplay::SetFaceColor(TColor value) { Assign(f.FaceColor, value, bar_scale::Property::FaceColor); }
void TBarDisplay::SetFrameColor(TColor value) { Assign(f.FrameColor, value, bar_scale::Property::FrameColor); }
void TBarDisplay::SetCountMajor(int value) { Assign(f.CountMajor, value, bar_scale::Property::CountMajor); }
void TBarDisplay::SetCountMinor(int value) { Assign(f.CountMinor, value, bar_scale::Property::CountMinor); }
void TBarDisplay::SetCountSub(int value) { Assign(f.CountSub, value, bar_scale::Property::CountSub); }
void TBarDisplay::SetframeWidth(int value) { Assign(f.frameWidth, value, bar_scale::Property::frameWidth); }
void TBarDisplay::SetMajorTick_Width(int value) { Assign(f.MajorTick_Width, value, bar_scale::Property::MajorTick_Width); }
void TBarDisplay::SetMinorTick_Width(int value) { Assign(f.MinorTick_Width, value, bar_scale::Property::MinorTick_Width); }
void TBarDisplay::SetSubTick_Width(int value) { Assign(f.SubTick_Width, value, bar_scale::Property::SubTick_Width); }
void TBarDisplay::SetMajorColor(TColor value) { Assign(f.MajorColor, value, bar_scale::Property::MajorColor); }
void TBarDisplay::SetMinorColor(TColor value) { Assign(f.MinorColor, value, bar_scale::Property::MinorColor); }
void TBarDisplay::SetMajorColor_inactive(TColor value)
{
    Assign(f.MajorColor_inactive, value, bar_scale::Property::MajorColor_inactive);
}
void TBarDisplay::SetMinorColor_inactive(TColor value)
{
    Assign(f.MinorColor_inactive, value, bar_scale::Property::MinorColor_inactive);
}
void TBarDisplay::SetCaption_Color(TColor value) { Assign(f.Caption_Color, value, bar_scale::Property::Caption_Color); }
void TBarDisplay::SetLabel_Color(TColor value) { Assign(f.Label_Color, value, bar_scale::Property::Label_Color); }
void TBarDisplay::SetMinColor(TColor value) { Assign(f.MinColor, value, bar_scale::Property::MinColor); }
void TBarDisplay::SetMidColor(TColor value) { Assign(f.MidColor, value, bar_scale::Property::MidColor); }
void TBarDisplay::SetMaxColor(TColor value) { Assign(f.MaxColor, value, bar_scale::Property::MaxColor); }
void TBarDisplay::SetMinColor_minor(TColor value) { Assign(f.MinColor_minor, value, bar_scale::Property::MinColor_minor); }
void TBarDisplay::SetMidColor_minor(TColor value) { Assign(f.MidColor_minor, value, bar_scale::Property::MidColor_minor); }
void TBarDisplay::SetMaxColor_minor(TColor value) { Assign(f.MaxColor_minor, value, bar_scale::Property::MaxColor_minor); }
void TBarDisplay::SetScale_Min(double value) { Assign(f.Scale_Min, value, bar_scale::Property::Scale_Min); }
void TBarDisplay::SetScale_Max(double value) { Assign(f.Scale_Max, value, bar_scale::Property::Scale_Max); }
void TBarDisplay::SetCaption(const QString &value) { Assign(f.Caption, value, bar_scale::Property::Caption); }
void TBarDisplay::SetCaption_Space(int value) { Assign(f.Caption_Space, value, bar_scale::Property::Caption_Space); }
void TBarDisplay::SetCaption_Size(int value) { Assign(f.Caption_Size, value, bar_scale::Property::Caption_Size); }
void TBarDisplay::SetMajorLabelSize(int value) { Assign(f.MajorLabelSize, value, bar_scale::Property::MajorLabelSize); }
void TBarDisplay::SetMajor_Digits(int value) { Assign(f.Major_Digits, value, bar_scale::Property::Major_Digits); }
void TBarDisplay::SetMid_Range(double value) { Assign(f.Mid_Range, value, bar_scale::Property::Mid_Range); }
void TBarDisplay::SetMax_Range(double value) { Assign(f.Max_Range, value, bar_scale::Property::Max_Range); }
void TBarDisplay::SetFaceOptions(TFaceOptions value) { Assign(f.FaceOptions, value, bar_scale::Property::FaceOptions); }
void TBarDisplay::SetGradient(bool value) { Assign(f.Gradient, value, bar_scale::Property::Gradient); }
void TBarDisplay::SetPosition(double value) { Assign(f.Position, value, bar_scale::Property::Position); }

bool TBarDisplay::FitSurfaces()
{
    if (Fbw_buffer.size() == size())
        return false;
    if (width() <= 0 || height() <= 0) {
        Fbw_buffer = QImage();
        Fpaint_buffer = QImage();
        return false;
    }
    Fbw_buffer = QImage(size(), kSurfaceFormat);
    Fpaint_buffer = QImage(size(), kSurfaceFormat);
    return true;
}

void TBarDisplay::DrawText(QPainter &painter, int x, int y, const QString &text, int pointSize, TColor colour,
                           const TColor *background) const
{
    painter.setFont(WithPixelHeight(font(), PointsToPixels(pointSize)));
    const QFontMetrics metrics = painter.fontMetrics();
    if (background)
        painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), TColorToQColor(*background));
    painter.setPen(TColorToQColor(colour));
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
}

void TBarDisplay::DrawScale()
{
    FitSurfaces();
    if (Fbw_buffer.isNull())
        return;
    const QSize surface = Fbw_buffer.size();
    const int w = surface.width();
    {
        QPainter painter(&Fbw_buffer);
        FillCells(painter, surface, 0, 0, w, surface.height(), f.FaceColor);
        Outline(painter, surface, f.FrameColor);

        painter.setFont(WithPixelHeight(font(), PointsToPixels(f.Caption_Size)));
        const int captionWidth = painter.fontMetrics().horizontalAdvance(f.Caption);
        DrawText(painter, w / 2 - captionWidth / 2, f.Caption_Space / 2 - f.Caption_Size, f.Caption, f.Caption_Size,
                 f.Caption_Color, nullptr);

        const QChar separator = ZString::LocaleDecimalSeparator();
        const int labelLeft = bar_scale::LabelLeft(f, w);
        for (const bar_scale::Stripe &stripe : bar_scale::StripeLayout(f, w, surface.height())) {
            if (!stripe.major) {
                FillCells(painter, surface, stripe.left, stripe.top, stripe.right, stripe.bottom,
                          f.MinorColor_inactive);
                continue;
            }
            FillCells(painter, surface, stripe.left, stripe.top, stripe.right, stripe.bottom, f.MajorColor_inactive);
            DrawText(painter, labelLeft, stripe.top - f.MajorLabelSize,
                     bar_scale::LabelText(stripe.value, f.Major_Digits, separator), f.MajorLabelSize, f.Label_Color,
                     &f.FaceColor);
        }
    }
    Fpaint_buffer = Fbw_buffer.copy();
    update();
}

void TBarDisplay::DrawBar()
{
    if (FitSurfaces())
        DrawScale();
    if (Fpaint_buffer.isNull())
        return;
    {
        QPainter painter(&Fpaint_buffer);
        const QSize surface = Fpaint_buffer.size();
        for (const bar_scale::Stripe &stripe : bar_scale::StripeLayout(f, surface.width(), surface.height())) {
            if (stripe.value <= f.Position)
                FillCells(painter, surface, stripe.left, stripe.top, stripe.right, stripe.bottom,
                          bar_scale::ActiveStripeColour(f, stripe));
        }
    }
    update();
}

void TBarDisplay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (FitSurfaces())
        DrawScale();
}

void TBarDisplay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), Fpaint_buffer);
}
