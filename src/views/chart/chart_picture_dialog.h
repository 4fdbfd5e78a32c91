#pragma once
// Asks the size of a chart picture: the size the chart is shown at, or width × height in pixels,
// with the chart's aspect ratio kept on request (always for a drawing). User-interface thread only.
#include "views/chart/chart_picture.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TChartPictureDialog;
}

class TChartPictureDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TChartPictureDialog(QWidget *parent = nullptr);
    ~TChartPictureDialog() override;

    // The controls for a picture of `format` of a chart shown at `shown`, preset to `choice`.
    void set_up(chart_picture::Format format, const QSize &shown, const chart_picture::SizeChoice &choice);
    chart_picture::SizeChoice choice() const;
    // The size the picture will have.
    QSize picture_size() const;

    void translateCaptions();

private:
    void follow_width(int width);
    void follow_height(int height);
    void enable_controls();

    std::unique_ptr<Ui::TChartPictureDialog> ui;
    chart_picture::Format fFormat = chart_picture::Format::Png;
    QSize fShown = chart_picture::FallbackSize;
};
