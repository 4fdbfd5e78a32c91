#include "views/chart/chart_panel.h"

#include "services/utils/ZUtils.h"
#include "views/chart/chart_gradient.h"
#include "views/chart/input_fields.h"
#include "views/chart/lock_pictures.h"
#include "services/settings/settings_numbers.h"
#include "services/settings/window_text.h"
#include "views/instruments/shape.h"
#include "ui_chart_panel.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QPixmap>
#include <QSignalBlocker>
#include <array>
#include <utility>
#include <vector>

namespace {

constexpr int LimitPrecision = 12;
enum Number { Max, Min, Increment };

bool ask_color(QWidget *parent, TColor initial, TColor &chosen)
{
    const QColor color = QColorDialog::getColor(TColorToQColor(initial), parent);
    if (!color.isValid())
        return false;
    chosen = RgbToTColor(color.rgb());
    return true;
}

struct AxisLook {
    TShape *axis;
    QSpinBox *width;
    TShape *ticks;
    TShape *labels;
    TShape *grid;
};

// The "Axis Color" page: left, bottom, right.
std::array<AxisLook, 3> axis_looks(const Ui::TChartPanel &ui)
{
    return {{{ui.left_axis_color_shapeShape, ui.left_axis_SpinEd, ui.left_axis_tick_color_shape,
              ui.left_axis_font_color_shape, ui.left_axis_grid_color_shape},
             {ui.bottom_axis_color_shape, ui.bottom_axis_SpinEd, ui.bottom_axis_tick_color_shape,
              ui.bottom_axis_font_color_shape, ui.bottom_axis_grid_color_shape},
             {ui.right_axis_color_shape, ui.right_axis_SpinEd, ui.right_axis_tick_color_shape,
              ui.right_axis_font_color_shape, ui.right_axis_grid_color_shape}}};
}

std::array<TAxisProps *, 3> axis_props(TChartProps &props)
{
    return {&props.left, &props.bottom, &props.right};
}

// The direction list's entries in the current language, in the list's order.
QStringList direction_labels()
{
    using namespace chart_gradient;
    using window_text::tr_;
    const std::pair<Direction, QString> names[] = {
        {BottomTop, tr_("gradient_bottom_top", "Bottom Top")},
        {DiagonalDown, tr_("gradient_diagonal_down", "Diagonal Down")},
        {DiagonalUp, tr_("gradient_diagonal_up", "Diagonal Up")},
        {FromBottomLeft, tr_("gradient_from_bottom_left", "From Bottom Left")},
        {FromCenter, tr_("gradient_from_center", "From Center")},
        {FromTopLeft, tr_("gradient_from_top_left", "From Top Left")},
        {LeftRight, tr_("gradient_left_right", "Left Right")},
        {Radial, tr_("gradient_radial", "Radial")},
        {RightLeft, tr_("gradient_right_left", "Right Left")},
        {TopBottom, tr_("gradient_top_bottom", "Top Bottom")},
    };
    QStringList labels;
    for (int entry = 0; entry < DirectionCount; ++entry)
        for (const auto &[code, name] : names)
            if (code == code_of_entry(entry))
                labels.append(name);
    return labels;
}

} // namespace

struct TChartPanel::AxisControls {
    QCheckBox *automatic;
    QLineEdit *max;
    QLineEdit *min;
    QLineEdit *increment;
    QPushButton *reset;
    QSpinBox *decimals;
    QCheckBox *grid;
};

TChartPanel::TChartPanel(QWidget *parent)
    : QTabWidget(parent), ui(std::make_unique<Ui::TChartPanel>()), fAskColor(ask_color)
{
    ui->setupUi(this);
    ui->gradient_combo->addItems(direction_labels());
    for (Side side : {Left, Right}) {
        const AxisControls c = axis_controls(side);
        for (QLineEdit *edit : {c.max, c.min, c.increment})
            edit->installEventFilter(this);
    }
    connect_controls();
    show_axis_mode(0);
    translateCaptions();
}

TChartPanel::~TChartPanel() = default;

TChartPanel::AxisControls TChartPanel::axis_controls(Side side) const
{
    if (side == Left)
        return {ui->left_axis_auto,    ui->left_max,         ui->left_min,    ui->increment_left,
                ui->reset_l_increment, ui->decimals_leftaxis, ui->grid_check_l};
    return {ui->right_axis_auto,   ui->right_max,          ui->right_min,   ui->increment_right,
            ui->reset_r_increment, ui->decimals_rightaxis, ui->grid_check_r};
}

void TChartPanel::connect_controls()
{
    connect(ui->lock_icon, &QToolButton::clicked, this, &TChartPanel::lock_clicked);
    for (Side side : {Left, Right}) {
        const AxisControls c = axis_controls(side);
        const bool left = side == Left;
        connect(c.automatic, &QCheckBox::clicked, this, [this, left] { emit changed(left ? LeftAuto : RightAuto); });
        connect(c.grid, &QCheckBox::clicked, this, [this, left] { emit changed(left ? LeftGrid : RightGrid); });
        connect(c.decimals, qOverload<int>(&QSpinBox::valueChanged), this,
                [this, left] { emit changed(left ? LeftDecimals : RightDecimals); });
        connect(c.reset, &QPushButton::clicked, this, [this, edit = c.increment] {
            edit->setText(QStringLiteral("0"));
            commit(edit);
        });
    }
    connect_swatch(ui->p_color_shape, nullptr, PressureColor);
    connect_swatch(ui->t_color_shape, nullptr, TemperatureColor);
    const std::pair<TShape *, QWidget *> swatches[] = {
        {ui->chart_backpanel_Shape, ui->TntSpeedButton1},
        {ui->start_shape, ui->TntSpeedButton2},
        {ui->middle_Shape, ui->TntSpeedButton3},
        {ui->end_Shape, ui->TntSpeedButton4},
        {ui->left_axis_color_shapeShape, ui->laxis_btn},
        {ui->left_axis_tick_color_shape, ui->laxis_tick_btn},
        {ui->left_axis_font_color_shape, ui->laxis_font_btn},
        {ui->left_axis_grid_color_shape, ui->laxis_grid_btn},
        {ui->right_axis_color_shape, ui->raxis_btn},
        {ui->right_axis_tick_color_shape, ui->raxis_tick_btn},
        {ui->right_axis_font_color_shape, ui->raxis_font_btn},
        {ui->right_axis_grid_color_shape, ui->raxis_grid_btn},
        {ui->bottom_axis_color_shape, ui->baxis_btn},
        {ui->bottom_axis_tick_color_shape, ui->baxis_tick_btn},
        {ui->bottom_axis_font_color_shape, ui->baxis_font_btn},
        {ui->bottom_axis_grid_color_shape, ui->baxis_grid_btn},
    };
    for (const auto &[swatch, button] : swatches)
        connect_swatch(swatch, button, Look);
    for (QSpinBox *width : {ui->left_axis_SpinEd, ui->right_axis_SpinEd, ui->bottom_axis_SpinEd})
        connect(width, qOverload<int>(&QSpinBox::valueChanged), this, [this] { emit changed(Look); });
    connect(ui->solid_box, &QCheckBox::clicked, this, [this](bool solid) {
        ui->gradient_group->setVisible(!solid);
        emit changed(Look);
    });
}

// A left-button press on the swatch, or a click on the button beside it, picks its colour; the
// change is told even when the dialog was cancelled.
void TChartPanel::connect_swatch(TShape *swatch, QWidget *button, Field field)
{
    const auto pick = [this, swatch, field] {
        pick_shape_color(*swatch);
        emit changed(field);
    };
    connect(swatch, &TShape::mouseDown, this, [pick](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            pick();
    });
    if (auto *tool = qobject_cast<QToolButton *>(button))
        connect(tool, &QToolButton::clicked, this, pick);
}

void TChartPanel::fill(const TChartPanelValues &values)
{
    // Filling the controls must not look like the user's edits.
    const QList<QWidget *> controls = findChildren<QWidget *>();
    std::vector<QSignalBlocker> quiet;
    quiet.reserve(size_t(controls.size()));
    for (QWidget *control : controls)
        quiet.emplace_back(control);

    ui->grid_check_l->setChecked(values.left.grid);
    ui->grid_check_r->setChecked(values.right.grid);
    ui->left_axis_auto->setChecked(values.left.automatic);
    ui->right_axis_auto->setChecked(values.right.automatic);
    TChartProps look = values.look;
    const std::array<AxisLook, 3> looks = axis_looks(*ui);
    const std::array<TAxisProps *, 3> props = axis_props(look);
    for (size_t i = 0; i < 3; ++i)
        looks[i].axis->Set_brush_color(props[i]->axis_color);
    for (size_t i = 0; i < 3; ++i)
        looks[i].width->setValue(props[i]->axis_width);
    for (size_t i = 0; i < 3; ++i) {
        looks[i].ticks->Set_brush_color(props[i]->ticks_color);
        looks[i].labels->Set_brush_color(props[i]->labels_color);
        looks[i].grid->Set_brush_color(props[i]->grid_color);
    }
    ui->chart_backpanel_Shape->Set_brush_color(look.back_color);
    ui->solid_box->setChecked(!look.gradient);
    ui->gradient_group->setVisible(look.gradient);
    ui->start_shape->Set_brush_color(look.gradient_start);
    ui->middle_Shape->Set_brush_color(look.gradient_middle);
    ui->end_Shape->Set_brush_color(look.gradient_end);
    set_gradient_direction(look.gradient_direction);
    fill_axis(Left, values.left);
    fill_axis(Right, values.right);
    ui->p_color_shape->Set_brush_color(values.pressure_color);
    ui->t_color_shape->Set_brush_color(values.temperature_color);
}

void TChartPanel::fill_axis(Side side, const TChartPanelAxis &axis)
{
    const AxisControls c = axis_controls(side);
    for (QWidget *control : std::initializer_list<QWidget *>{c.max, c.min, c.increment, c.decimals, c.reset})
        control->setEnabled(axis.enabled);
    if (!axis.enabled)
        return;
    c.decimals->setValue(axis.decimals);
    show_axis_range(side, axis.min, axis.max);
    c.increment->setText(SettingsNumbers::realText(axis.increment));
    fNumbers[side][Increment] = axis.increment;
}

TChartPanelValues TChartPanel::read() const
{
    TChartPanelValues values;
    const std::array<AxisLook, 3> looks = axis_looks(*ui);
    const std::array<TAxisProps *, 3> props = axis_props(values.look);
    for (size_t i = 0; i < 3; ++i) {
        props[i]->axis_color = looks[i].axis->Get_brush_color();
        props[i]->axis_width = looks[i].width->value();
        props[i]->ticks_color = looks[i].ticks->Get_brush_color();
        props[i]->labels_color = looks[i].labels->Get_brush_color();
        props[i]->grid_color = looks[i].grid->Get_brush_color();
    }
    values.look.back_color = ui->chart_backpanel_Shape->Get_brush_color();
    values.look.gradient = !ui->solid_box->isChecked();
    values.look.gradient_start = ui->start_shape->Get_brush_color();
    values.look.gradient_middle = ui->middle_Shape->Get_brush_color();
    values.look.gradient_end = ui->end_Shape->Get_brush_color();
    values.look.gradient_direction = gradient_direction();
    values.pressure_color = ui->p_color_shape->Get_brush_color();
    values.temperature_color = ui->t_color_shape->Get_brush_color();
    for (Side side : {Left, Right}) {
        const AxisControls c = axis_controls(side);
        TChartPanelAxis &axis = side == Left ? values.left : values.right;
        axis.automatic = c.automatic->isChecked();
        axis.enabled = c.max->isEnabled();
        axis.max = fNumbers[side][Max];
        axis.min = fNumbers[side][Min];
        axis.increment = fNumbers[side][Increment];
        axis.decimals = c.decimals->value();
        axis.grid = c.grid->isChecked();
    }
    return values;
}

void TChartPanel::show_axis_range(Side side, double min, double max)
{
    const AxisControls c = axis_controls(side);
    const int decimals = c.decimals->value();
    show_limit(c.max, max, decimals);
    show_limit(c.min, min, decimals);
    fNumbers[side][Max] = max;
    fNumbers[side][Min] = min;
}

void TChartPanel::show_limit(QLineEdit *edit, double value, int decimals)
{
    if (!(edit->hasFocus() && edit->isModified()))
        edit->setText(ZString::FormatFixed(value, decimals, LimitPrecision));
}

void TChartPanel::set_automatic(Side side, bool on)
{
    axis_controls(side).automatic->setChecked(on);
}

void TChartPanel::commit(QLineEdit *edit)
{
    static constexpr Field fields[2][3] = {{LeftMax, LeftMin, LeftIncrement}, {RightMax, RightMin, RightIncrement}};
    for (Side side : {Left, Right}) {
        const AxisControls c = axis_controls(side);
        const QLineEdit *edits[3] = {c.max, c.min, c.increment};
        for (int number : {Max, Min, Increment}) {
            if (edit != edits[number])
                continue;
            double value = 0.0;
            const bool read = number == Increment ? input_fields::read_increment(edit->text(), value)
                                                  : input_fields::read_limit(edit->text(), value);
            if (!read) {
                emit invalid_number(edit->text());
                return;
            }
            edit->setModified(false);
            fNumbers[side][number] = value;
            emit changed(fields[side][number]);
            return;
        }
    }
}

void TChartPanel::translateCaptions()
{
    struct Row {
        const char *key;
        const char *defaultText;
        std::vector<QWidget *> targets;
    };
    const Row rows[] = {
        {"Automatic", "Automatic", {ui->left_axis_auto, ui->right_axis_auto}},
        {"Axis", "Axis", {ui->axis_sheet}},
        {"chart_color", "Chart Color", {ui->color_sheet}},
        {"axis_color", "Axis Color", {ui->axis_color_sheet}},
        {"Show GridLines Left Axis", "Show GridLines Left Axis", {ui->grid_check_l}},
        {"Show GridLines Right Axis", "Show GridLines Right Axis", {ui->grid_check_r}},
        {"Left Axis", "Left Axis", {ui->left_axis_title, ui->left_axis_box}},
        {"Right Axis", "Right Axis", {ui->right_axis_title, ui->right_axis_box}},
        {"Bottom Axis", "Bottom Axis", {ui->bottom_axis_box}},
        {"Max", "Max", {ui->Max_title, ui->Max_title2}},
        {"Min", "Min", {ui->min_title, ui->min_title2}},
        {"Decimals", "Decimals", {ui->left_axis_dec_lbl, ui->right_axis_dec_lbl}},
        {"Increment", "Increment", {ui->increment_left_lbl, ui->increment_right_lbl}},
        {"reset_increment", "reset", {ui->reset_r_increment, ui->reset_l_increment}},
        {"chart_filling_box", "Chart Brush Color", {ui->chart_filling_box}},
        {"chart_backpanel_lbl", "Back Wall Color", {ui->chart_backpanel_lbl}},
        {"solid", "Solid Brush", {ui->solid_box}},
        {"gradient", "Gradient", {ui->gradient_group}},
        {"start", "Start", {ui->start_lbl}},
        {"middle", "Middle", {ui->middle_lbl}},
        {"end", "End", {ui->end_lbl}},
        {"direction", "Direction", {ui->direction_lbl}},
        {"AxisColor", "Axis Color", {ui->axis_color_lbl1, ui->axis_color_lbl2, ui->axis_color_lbl3}},
        {"AxisWidth", "Axis Width", {ui->axis_width_lbl1, ui->axis_width_lbl2, ui->axis_width_lbl3}},
        {"TickColor", "Tick Color", {ui->TickColor_lbl1, ui->TickColor_lbl2, ui->TickColor_lbl3}},
        {"FontColor", "Font Color", {ui->font_color_lbl1, ui->font_color_lbl2, ui->font_color_lbl3}},
        {"GridColor", "Grid Color", {ui->gridcolor_lbl1, ui->gridcolor_lbl2, ui->gridcolor_lbl3}},
    };
    for (const Row &row : rows) {
        const QString caption = window_text::tr_(row.key, row.defaultText);
        for (QWidget *target : row.targets) {
            if (auto *group = qobject_cast<QGroupBox *>(target))
                group->setTitle(caption);
            else if (auto *label = qobject_cast<QLabel *>(target))
                label->setText(caption);
            else if (auto *button = qobject_cast<QAbstractButton *>(target))
                button->setText(caption);
            else
                setTabText(indexOf(target), caption); // a page carries its caption on its tab
        }
    }
    const QStringList directions = direction_labels();
    for (int entry = 0; entry < directions.size(); ++entry)
        ui->gradient_combo->setItemText(entry, directions[entry]);
    ui->lock_icon->setToolTip(window_text::tr_("axis_mode_hint", "Axis mode: automatic, manual, locked"));
}

void TChartPanel::pick_shape_color(TShape &swatch)
{
    TColor chosen = swatch.Get_brush_color();
    if (fAskColor(window(), swatch.Get_brush_color(), chosen))
        swatch.Set_brush_color(chosen);
}

void TChartPanel::show_axis_mode(int mode)
{
    fMode = mode;
    ui->lock_icon->setIcon(QIcon(QPixmap::fromImage(lock_pictures::picture(mode))));
}

int TChartPanel::gradient_direction() const
{
    return chart_gradient::code_of_entry(ui->gradient_combo->currentIndex());
}

void TChartPanel::set_gradient_direction(int code)
{
    ui->gradient_combo->setCurrentIndex(chart_gradient::entry_of_code(code));
}

bool TChartPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return QTabWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (event->type() == QEvent::KeyRelease) {
        if (enter && !edit->text().isEmpty())
            commit(edit);
        return false;
    }
    // Shortcuts (copy, select all, ...), editing keys and keys without a character pass untouched.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString typed = key->text();
    if (typed.size() != 1 || !typed.front().isPrint())
        return false;
    return input_fields::filter_numeric_key(typed.front(), edit->text(), ZString::LocaleDecimalSeparator());
}
