#pragma once
// Vertical bar graph of horizontal stripes with a caption and value labels.
// Used from the user-interface thread only.
#include "views/instruments/bar_scale.h"

#include <QImage>
#include <QWidget>

class QPainter;

class TBarDisplay : public QWidget
{
    Q_OBJECT

public:
    using TFaceOption = bar_scale::TFaceOption;
    using TFaceOptions = bar_scale::TFaceOptions;

    // `name` becomes the object name and the first caption.
    explicit TBarDisplay(QWidget *parent = nullptr, const QString &name = QString());

    TColor GetFaceColor() const { return f.FaceColor; }
    TColor GetFrameColor() const { return f.FrameColor; }
    int GetCountMajor() const { return f.CountMajor; }
    int GetCountMinor() const { return f.CountMinor; }
    int GetCountSub() const { return f.CountSub; }
    int GetframeWidth() const { return f.frameWidth; }
    int GetMajorTick_Width() const { return f.MajorTick_Width; }
    int GetMinorTick_Width() const { return f.MinorTick_Width; }
    int GetSubTick_Width() const { return f.SubTick_Width; }
    TColor GetMajorColor() const { return f.MajorColor; }
    TColor GetMinorColor() const { return f.MinorColor; }
    TColor GetMajorColor_inactive() const { return f.MajorColor_inactive; }
    TColor GetMinorColor_inactive() const { return f.MinorColor_inactive; }
    TColor GetCaption_Color() const { return f.Caption_Color; }
    TColor GetLabel_Color() const { return f.Label_Color; }
    TColor GetMinColor() const { return f.MinColor; }
    TColor GetMidColor() const { return f.MidColor; }
    TColor GetMaxColor() const { return f.MaxColor; }
    TColor GetMinColor_minor() const { return f.MinColor_minor; }
    TColor GetMidColor_minor() const { return f.MidColor_minor; }
    TColor GetMaxColor_minor() const { return f.MaxColor_minor; }
    double GetScale_Min() const { return f.Scale_Min; }
    double GetScale_Max() const { return f.Scale_Max; }
    QString GetCaption() const { return f.Caption; }
    int GetCaption_Space() const { return f.Caption_Space; }
    int GetCaption_Size() const { return f.Caption_Size; }
    int GetMajorLabelSize() const { return f.MajorLabelSize; }
    int GetMajor_Digits() const { return f.Major_Digits; }
    double GetMid_Range() const { return f.Mid_Range; }
    double GetMax_Range() const { return f.Max_Range; }
    TFaceOptions GetFaceOptions() const { return f.FaceOptions; }
    bool GetGradient() const { return f.Gradient; }
    double GetPosition() const { return f.Position; }
    const bar_scale::BarProperties &Properties() const { return f; }

    void SetFaceColor(TColor value);
    void SetFrameColor(TColor value);
    void SetCountMajor(int value);
    void SetCountMinor(int value);
    void SetCountSub(int value);
    void SetframeWidth(int value);
    void SetMajorTick_Width(int value);
    void SetMinorTick_Width(int value);
    void SetSubTick_Width(int value);
    void SetMajorColor(TColor value);
    void SetMinorColor(TColor value);
    void SetMajorColor_inactive(TColor value);
    void SetMinorColor_inactive(TColor value);
    void SetCaption_Color(TColor value);
    void SetLabel_Color(TColor value);
    void SetMinColor(TColor value);
    void SetMidColor(TColor value);
    void SetMaxColor(TColor value);
    void SetMinColor_minor(TColor value);
    void SetMidColor_minor(TColor value);
    void SetMaxColor_minor(TColor value);
    void SetScale_Min(double value);
    void SetScale_Max(double value);
    void SetCaption(const QString &value);
    void SetCaption_Space(int value);
    void SetCaption_Size(int value);
    void SetMajorLabelSize(int value);
    void SetMajor_Digits(int value);
    void SetMid_Range(double value);
    void SetMax_Range(double value);
    void SetFaceOptions(TFaceOptions value);
    void SetGradient(bool value);
    void SetPosition(double value);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    template <typename T>
    void Assign(T &field, const T &value, bar_scale::Property property);

    // Surfaces follow the widget size at once, even before a pending resize event arrives.
    bool FitSurfaces();
    void DrawScale();
    void DrawBar();
    void DrawText(QPainter &painter, int x, int y, const QString &text, int pointSize, TColor colour,
                  const TColor *background) const;

    bar_scale::BarProperties f;
    QImage Fbw_buffer;
    QImage Fpaint_buffer;
};
