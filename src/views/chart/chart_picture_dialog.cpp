#include "views/chart/chart_picture_dialog.h"

#include "services/settings/window_text.h"
#include "ui_chart_picture_dialog.h"

#include <QPushButton>
#include <QSignalBlocker>

using window_text::tr_;
namespace cp = chart_picture;

TChartPictureDialog::TChartPictureDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TChartPictureDialog>())
{
    ui->setupUi(this);
    for (QSpinBox *side : {ui->width_spin, ui->height_spin})
        side->setRange(cp::MinSide, cp::MaxSide);
    connect(ui->chosen_radio, &QRadioButton::toggled, this, &TChartPictureDialog::enable_controls);
    connect(ui->width_spin, qOverload<int>(&QSpinBox::valueChanged), this, &TChartPictureDialog::follow_width);
    connect(ui->height_spin, qOverload<int>(&QSpinBox::valueChanged), this, &TChartPictureDialog::follow_height);
    connect(ui->keep_aspect_check, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            follow_width(ui->width_spin->value());
    });
    translateCaptions();
}

TChartPictureDialog::~TChartPictureDialog() = default;

void TChartPictureDialog::set_up(cp::Format format, const QSize &shown, const cp::SizeChoice &choice)
{
    fFormat = format;
    fShown = cp::shown_size(shown);
    const bool vector = cp::vector(format);
    ui->chosen_radio->setChecked(!choice.shown);
    ui->shown_radio->setChecked(choice.shown);
    ui->keep_aspect_check->setChecked(vector || choice.keepAspect);
    {
        const QSignalBlocker width(ui->width_spin), height(ui->height_spin);
        ui->width_spin->setValue(choice.chosen.width());
        ui->height_spin->setValue(choice.chosen.height());
    }
    if (ui->keep_aspect_check->isChecked())
        follow_width(ui->width_spin->value());
    ui->vector_note->setVisible(vector);
    translateCaptions();
    enable_controls();
}

cp::SizeChoice TChartPictureDialog::choice() const
{
    return {ui->shown_radio->isChecked(), QSize(ui->width_spin->value(), ui->height_spin->value()),
            ui->keep_aspect_check->isChecked()};
}

QSize TChartPictureDialog::picture_size() const
{
    return cp::picture_size(fFormat, fShown, choice());
}

void TChartPictureDialog::follow_width(int width)
{
    if (!ui->keep_aspect_check->isChecked())
        return;
    const QSignalBlocker blocker(ui->height_spin);
    ui->height_spin->setValue(cp::height_for_width(fShown, width));
}

void TChartPictureDialog::follow_height(int height)
{
    if (!ui->keep_aspect_check->isChecked())
        return;
    const QSignalBlocker blocker(ui->width_spin);
    ui->width_spin->setValue(cp::width_for_height(fShown, height));
}

void TChartPictureDialog::enable_controls()
{
    const bool chosen = ui->chosen_radio->isChecked();
    for (QWidget *control : {static_cast<QWidget *>(ui->width_spin), static_cast<QWidget *>(ui->height_spin),
                             static_cast<QWidget *>(ui->times_label), static_cast<QWidget *>(ui->pixels_label)})
        control->setEnabled(chosen);
    // A drawing always keeps the chart's aspect ratio.
    ui->keep_aspect_check->setEnabled(chosen && !cp::vector(fFormat));
}

void TChartPictureDialog::translateCaptions()
{
    setWindowTitle(tr_("picture_size", "Picture size"));
    ui->shown_radio->setText(tr_("picture_size_shown", "Size shown: %1 × %2 pixels")
                                 .arg(fShown.width())
                                 .arg(fShown.height()));
    ui->chosen_radio->setText(tr_("picture_size_chosen", "Chosen size:"));
    ui->pixels_label->setText(tr_("picture_pixels", "pixels"));
    ui->keep_aspect_check->setText(tr_("picture_keep_aspect", "Keep the aspect ratio"));
    ui->vector_note->setText(tr_("picture_vector_note", "A PDF or SVG drawing keeps the aspect ratio of the chart."));
    ui->buttons->button(QDialogButtonBox::Ok)->setText(tr_("ok", "OK"));
    ui->buttons->button(QDialogButtonBox::Cancel)->setText(tr_("cancel", "Cancel"));
}
