// The chart settings panel: sliding it open and shut, filling it from the chart, number entry,
// colour swatches and carrying every change back onto the chart.
#include "main.h"

#include "ZUtils.h"
#include "chart_axes.h"
#include "chart_panel.h"
#include "chart_widget.h"
#include "input_fields.h"
#include "msgDialogForm.h"
#include "settingsNumbers.h"
#include "shape.h"
#include "ui_chart_panel.h"
#include "ui_main.h"

#include <QSignalBlocker>
#include <algorithm>

namespace {

constexpr int CollapsedWidth = 2;
constexpr int ExpandedWidth = 280;
constexpr int LimitPrecision = 12;

struct AxisSwatches {
    TShape *axis;
    QSpinBox *width;
    TShape *ticks;
    TShape *labels;
    TShape *grid;
};

AxisSwatches swatches_of(Ui::TChartPanel &panel, int which)
{
    switch (which) {
    case 0:
        return {panel.left_axis_color_shapeShape, panel.left_axis_SpinEd, panel.left_axis_tick_color_shape,
                panel.left_axis_font_color_shape, panel.left_axis_grid_color_shape};
    case 1:
        return {panel.bottom_axis_color_shape, panel.bottom_axis_SpinEd, panel.bottom_axis_tick_color_shape,
                panel.bottom_axis_font_color_shape, panel.bottom_axis_grid_color_shape};
    default:
        return {panel.right_axis_color_shape, panel.right_axis_SpinEd, panel.right_axis_tick_color_shape,
                panel.right_axis_font_color_shape, panel.right_axis_grid_color_shape};
    }
}

} // namespace

void Tmain_Form::collapse_sidebar()
{
    chart_panel()->setFixedWidth(CollapsedWidth);
    f_sidebar_expanded = false;
}

void Tmain_Form::expand_sidebar()
{
    f_sidebar_expanded = true;
    chart_panel()->setFixedWidth(ExpandedWidth);
    Ui::TChartPanel &panel = chart_panel()->controls();
    const TChartProps props = chart()->props();
    {
        // Filling the controls must not echo back onto the chart.
        const QList<QWidget *> controls = chart_panel()->findChildren<QWidget *>();
        std::vector<QSignalBlocker> quiet;
        quiet.reserve(size_t(controls.size()));
        for (QWidget *control : controls)
            quiet.emplace_back(control);

        panel.grid_check_l->setChecked(f_show_left_grid);
        panel.grid_check_r->setChecked(f_show_right_grid);
        const TAxisProps *axes[] = {&props.left, &props.bottom, &props.right};
        for (int i = 0; i < 3; ++i)
            swatches_of(panel, i).axis->Set_brush_color(axes[i]->axis_color);
        for (int i = 0; i < 3; ++i)
            swatches_of(panel, i).width->setValue(axes[i]->axis_width);
        for (int i = 0; i < 3; ++i) {
            const AxisSwatches s = swatches_of(panel, i);
            s.ticks->Set_brush_color(axes[i]->ticks_color);
            s.labels->Set_brush_color(axes[i]->labels_color);
            s.grid->Set_brush_color(axes[i]->grid_color);
        }
        panel.chart_backpanel_Shape->Set_brush_color(props.back_color);
        panel.solid_box->setChecked(!props.gradient);
        panel.gradient_group->setVisible(props.gradient);
        panel.start_shape->Set_brush_color(props.gradient_start);
        panel.middle_Shape->Set_brush_color(props.gradient_middle);
        panel.end_Shape->Set_brush_color(props.gradient_end);
        chart_panel()->set_gradient_direction(props.gradient_direction);
        fill_axis_controls(chart()->left_axis());
        fill_axis_controls(chart()->right_axis());
        panel.p_color_shape->Set_brush_color(p_color);
        panel.t_color_shape->Set_brush_color(t_color);
    }
    // A stored number of decimals outside the field's range is shown clamped and taken.
    if (panel.decimals_leftaxis->value() != f_leftaxis_digits)
        Set_leftaxis_digits(panel.decimals_leftaxis->value());
    if (panel.decimals_rightaxis->value() != f_rightaxis_digits)
        Set_rightaxis_digits(panel.decimals_rightaxis->value());
}

void Tmain_Form::fill_axis_controls(QCPAxis *axis)
{
    Ui::TChartPanel &panel = chart_panel()->controls();
    const bool left = axis == chart()->left_axis();
    QLineEdit *increment = left ? panel.increment_left : panel.increment_right;
    QSpinBox *decimals = left ? panel.decimals_leftaxis : panel.decimals_rightaxis;
    QPushButton *reset = left ? panel.reset_l_increment : panel.reset_r_increment;
    QLineEdit *max = left ? panel.left_max : panel.right_max;
    QLineEdit *min = left ? panel.left_min : panel.right_min;
    const bool visible = axis->visible();
    for (QWidget *control : std::initializer_list<QWidget *>{max, min, increment, decimals, reset})
        control->setEnabled(visible);
    if (!visible)
        return;
    // The field clamps a stored value outside its range; the limits show what it shows.
    decimals->setValue(left ? f_leftaxis_digits : f_rightaxis_digits);
    show_axis_limits(axis);
    increment->setText(SettingsNumbers::realText(left ? f_left_increment : f_right_increment));
}

// The axis's current range in its two limit edits.
void Tmain_Form::show_axis_limits(QCPAxis *axis)
{
    Ui::TChartPanel &panel = chart_panel()->controls();
    const bool left = axis == chart()->left_axis();
    const int digits = left ? panel.decimals_leftaxis->value() : panel.decimals_rightaxis->value();
    QLineEdit *max = left ? panel.left_max : panel.right_max;
    QLineEdit *min = left ? panel.left_min : panel.right_min;
    // What the user is typing stays until Enter commits it.
    const auto show = [](QLineEdit *edit, const QString &text) {
        if (!(edit->hasFocus() && edit->isModified()))
            edit->setText(text);
    };
    show(max, ZString::FormatFixed(axis->range().upper, digits, LimitPrecision));
    show(min, ZString::FormatFixed(axis->range().lower, digits, LimitPrecision));
}

void Tmain_Form::commit_number_edit(QLineEdit *edit)
{
    Ui::TChartPanel &panel = chart_panel()->controls();
    const bool increment = edit == panel.increment_left || edit == panel.increment_right;
    double value = 0.0;
    const bool read = increment ? input_fields::read_increment(edit->text(), value)
                                : input_fields::read_limit(edit->text(), value);
    if (!read) {
        TmsgDialog::createDialog(QStringLiteral("'%1' is not a valid floating point value.").arg(edit->text()),
                                 mtError, {mbOk});
        return;
    }
    edit->setModified(false);
    if (edit == panel.left_max)
        Set_left_max(value);
    else if (edit == panel.left_min)
        Set_left_min(value);
    else if (edit == panel.right_max)
        Set_right_max(value);
    else if (edit == panel.right_min)
        Set_right_min(value);
    else if (edit == panel.increment_left)
        Set_left_increment(value);
    else if (edit == panel.increment_right)
        Set_right_increment(value);
    if (increment)
        return;
    // A limit typed while the axes scale themselves would be overwritten by the next
    // measurement: the axes take the typed limits for good.
    if (f_axis_mode == chart_axes::Automatic)
        Set_axis_mode(chart_axes::Manual);
    show_axis_limits(chart()->left_axis());
    show_axis_limits(chart()->right_axis());
}

void Tmain_Form::swatch_mouse_down(TShape *swatch, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    chart_panel()->pick_shape_color(*swatch);
    Ui::TChartPanel &panel = chart_panel()->controls();
    if (swatch == panel.p_color_shape)
        p_color = swatch->Get_brush_color();
    else if (swatch == panel.t_color_shape)
        t_color = swatch->Get_brush_color();
    apply_chart_settings();
}

void Tmain_Form::apply_chart_settings()
{
    Ui::TChartPanel &panel = chart_panel()->controls();
    TChartProps props = chart()->props();
    TAxisProps *axes[] = {&props.left, &props.bottom, &props.right};
    for (int i = 0; i < 3; ++i) {
        const AxisSwatches s = swatches_of(panel, i);
        axes[i]->axis_color = s.axis->Get_brush_color();
        axes[i]->axis_width = s.width->value();
        axes[i]->ticks_color = s.ticks->Get_brush_color();
        axes[i]->labels_color = s.labels->Get_brush_color();
        axes[i]->grid_color = s.grid->Get_brush_color();
    }
    props.back_color = panel.chart_backpanel_Shape->Get_brush_color();
    props.gradient = !panel.solid_box->isChecked();
    props.gradient_start = panel.start_shape->Get_brush_color();
    props.gradient_middle = panel.middle_Shape->Get_brush_color();
    props.gradient_end = panel.end_Shape->Get_brush_color();
    props.gradient_direction = chart_panel()->gradient_direction();
    chart()->set_props(props);
    chart()->set_series_color(TChart::PressureSeries, p_color);
    chart()->set_series_color(TChart::TemperatureSeries, t_color);
    show_curve_colors();
}

// The colour markers beside the numbers and the range colours of both bars.
void Tmain_Form::show_curve_colors()
{
    ui->p_Shape->Set_brush_color(p_color);
    ui->T_Shape->Set_brush_color(t_color);
    const std::pair<TBarDisplay *, TColor> bars[] = {{ui->pressure_bar, p_color}, {ui->thermometer, t_color}};
    for (const auto &[bar, color] : bars) {
        bar->SetMinColor(color);
        bar->SetMidColor(color);
        bar->SetMaxColor(color);
        bar->SetMinColor_minor(color);
        bar->SetMidColor_minor(color);
        bar->SetMaxColor_minor(color);
    }
}
