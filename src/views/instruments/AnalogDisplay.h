#pragma once
// Round pointer instrument with range arcs, optional digital readout and supersampling.
// Used from the user-interface thread only.
#include "views/instruments/gauge_look.h"

#include <QImage>
#include <QWidget>
#include <functional>

class TAnalogDisplay : public QWidget
{
    Q_OBJECT

public:
    using TStyle = gauge::TStyle;
    using TAntialiased = gauge::TAntialiased;
    using TFaceOption = gauge::TFaceOption;
    using TFaceOptions = gauge::TFaceOptions;
    using TNotifyEvent = std::function<void()>;

    explicit TAnalogDisplay(QWidget *parent = nullptr);

    TColor GetMinColor() const { return f.colours.MinColor; }
    TColor GetMidColor() const { return f.colours.MidColor; }
    TColor GetMaxColor() const { return f.colours.MaxColor; }
    TColor GetFaceColor() const { return f.colours.FaceColor; }
    TColor GetTicksColor() const { return f.colours.TicksColor; }
    TColor GetValueColor() const { return f.colours.ValueColor; }
    TColor GetCaptionColor() const { return f.colours.CaptionColor; }
    TColor GetArrowColor() const { return f.colours.ArrowColor; }
    TColor GetMarginColor() const { return f.colours.MarginColor; }
    TColor GetCenterColor() const { return f.colours.CenterColor; }
    TColor GetCircleColor() const { return f.colours.CircleColor; }
    int GetCenterRadius() const { return f.CenterRadius; }
    int GetCircleRadius() const { return f.CircleRadius; }
    int GetAngle() const { return f.Angle; }
    int GetMargin() const { return f.Margin; }
    TStyle GetStyle() const { return f.Style; }
    int GetArrowWidth() const { return f.ArrowWidth; }
    int GetNumberMainTicks() const { return f.NumberMainTicks; }
    int GetNumberMinorTicks() const { return f.NumberMinorTicks; }
    int GetDigits() const { return f.Digits; }
    int GetDigitsDigital() const { return f.DigitsDigital; }
    int GetIndMinWidth() const { return f.IndMinWidth; }
    int GetIndMidWidth() const { return f.IndMidWidth; }
    int GetIndMaxWidth() const { return f.IndMaxWidth; }
    int GetLengthMainTicks() const { return f.LengthMainTicks; }
    int GetLengthSubTicks() const { return f.LengthSubTicks; }
    TFaceOptions GetFaceOptions() const { return f.FaceOptions; }
    double GetPosition() const { return f.Position; }
    double GetScaleMax() const { return f.ScaleMax; }
    double GetScaleMin() const { return f.ScaleMin; }
    double GetIndMaximum() const { return f.IndMaximum; }
    double GetIndMinimum() const { return f.IndMinimum; }
    QString GetCaption() const { return f.Caption; }
    TAntialiased GetAntiAliased() const { return f.AntiAliased; }
    bool Getup_date() const { return f.up_date; }

    void SetMinColor(TColor value);
    void SetMidColor(TColor value);
    void SetMaxColor(TColor value);
    void SetFaceColor(TColor value);
    void SetTicksColor(TColor value);
    void SetValueColor(TColor value);
    void SetCaptionColor(TColor value);
    void SetArrowColor(TColor value);
    void SetMarginColor(TColor value);
    void SetCenterColor(TColor value);
    void SetCircleColor(TColor value);
    void SetCenterRadius(int value);
    void SetCircleRadius(int value);
    void SetAngle(int value);
    void SetMargin(int value);
    void SetStyle(TStyle value);
    void SetArrowWidth(int value);
    void SetNumberMainTicks(int value);
    void SetNumberMinorTicks(int value);
    void SetDigits(int value);
    void SetDigitsDigital(int value);
    void SetIndMinWidth(int value);
    void SetIndMidWidth(int value);
    void SetIndMaxWidth(int value);
    void SetLengthMainTicks(int value);
    void SetLengthSubTicks(int value);
    void SetFaceOptions(TFaceOptions value);
    void SetPosition(double value);
    void SetScaleMax(double value);
    void SetScaleMin(double value);
    void SetIndMaximum(double value);
    void SetIndMinimum(double value);
    void SetCaption(const QString &value);
    void SetAntiAliased(TAntialiased value);
    void Setup_date(bool value);

    // Called, when set, as a new Position reaches or leaves the range limits.
    void SetOnOverMax(TNotifyEvent handler) { OnOverMax = std::move(handler); }
    void SetOnOverMin(TNotifyEvent handler) { OnOverMin = std::move(handler); }
    void SetOnInOKRange(TNotifyEvent handler) { OnInOKRange = std::move(handler); }
    void SetOnClick(TNotifyEvent handler) { OnClick = std::move(handler); }
    void SetOnDblClick(TNotifyEvent handler) { OnDblClick = std::move(handler); }

    int ScaleFactor() const { return gauge::ScaleFactor(f.AntiAliased); }
    // The geometry of the supersampled surfaces as last drawn.
    gauge::Geometry SurfaceGeometry() const;
    // Face without pointer, face with pointer (both k times the size), and the reduced picture.
    const QImage &BackBitmap() const { return FBackBitmap; }
    const QImage &FaceBitmap() const { return FFaceBitmap; }
    const QImage &AABitmap() const { return FAABitmap; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void AssignRedraw(TColor &field, TColor value);
    void AssignRedraw(int &field, int value);
    void AssignScale(double &field, double value);
    bool FitSurfaces();
    void Redraw();
    void UpdatePointer();

    gauge::GaugeProperties f;
    gauge::GaugeColours fEnabledColours;
    QImage FBackBitmap;
    QImage FFaceBitmap;
    QImage FAABitmap;
    // Where FFaceBitmap differs from FBackBitmap: the last pointer, in surface pixels.
    QRect fPointerArea;
    TNotifyEvent OnOverMax;
    TNotifyEvent OnOverMin;
    TNotifyEvent OnInOKRange;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
};
