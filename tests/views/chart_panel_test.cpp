// The chart settings panel on its own: its controls, number entry and the colour dialog.
#include "views/chart/chart_gradient.h"
#include "views/chart/chart_panel.h"
#include "locale_guard.h"
#include "views/chart/lock_pictures.h"
#include "qt_printers.h"
#include "single_language.h"
#include "views/instruments/shape.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class Panel : public ::testing::Test
{
protected:
    template <typename T> T *child(const char *name)
    {
        T *found = panel.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    TChartPanel panel;
};

} // namespace

TEST_F(Panel, EveryControlByItsName)
{
    EXPECT_EQ(panel.objectName(), QStringLiteral("graph_control"));
    ASSERT_EQ(panel.count(), 3);
    const char *pages[][2] = {
        {"axis_sheet", "Axis"}, {"color_sheet", "Chart Color"}, {"axis_color_sheet", "Axis Color"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(panel.widget(i)->objectName(), QString::fromLatin1(pages[i][0]));
        EXPECT_EQ(panel.tabText(i), QString::fromLatin1(pages[i][1]));
    }
    const struct {
        const char *name;
        const char *caption;
    } captions[] = {{"left_axis_title", "Left Axis"},   {"right_axis_title", "Right Axis"},
                    {"Max_title", "Max"},              {"Max_title2", "Max"},
                    {"min_title", "Min"},              {"min_title2", "Min"},
                    {"increment_left_lbl", "Increment"}, {"increment_right_lbl", "Increment"},
                    {"left_axis_dec_lbl", "Decimals"}, {"right_axis_dec_lbl", "Decimals"},
                    {"chart_backpanel_lbl", "Back Wall Color"}, {"start_lbl", "Start"},
                    {"middle_lbl", "Middle"},          {"end_lbl", "End"},
                    {"direction_lbl", "Direction"}};
    for (const auto &c : captions)
        EXPECT_EQ(child<QLabel>(c.name)->text(), QString::fromUtf8(c.caption)) << c.name;
    for (int n = 1; n <= 3; ++n) {
        const QString suffix = QString::number(n);
        for (const char *prefix :
             {"axis_color_lbl", "axis_width_lbl", "TickColor_lbl", "font_color_lbl", "gridcolor_lbl"})
            EXPECT_NE(panel.findChild<QLabel *>(QString::fromLatin1(prefix) + suffix), nullptr) << prefix << n;
    }
    for (const char *name : {"left_axis_auto", "right_axis_auto", "grid_check_l", "grid_check_r", "solid_box"})
        EXPECT_TRUE(child<QCheckBox>(name)->isChecked()) << name;
    for (const char *name :
         {"chart_filling_box", "gradient_group", "left_axis_box", "right_axis_box", "bottom_axis_box"})
        child<QGroupBox>(name);
    for (const char *name : {"reset_l_increment", "reset_r_increment"})
        EXPECT_EQ(child<QPushButton>(name)->text(), QStringLiteral("reset"));
    for (const char *name : {"left_max", "left_min", "increment_left", "right_max", "right_min", "increment_right"})
        child<QLineEdit>(name);
    const struct {
        const char *name;
        int min, max;
    } spins[] = {{"decimals_leftaxis", 0, 8},  {"decimals_rightaxis", 0, 2}, {"left_axis_SpinEd", 1, 20},
                 {"right_axis_SpinEd", 1, 20}, {"bottom_axis_SpinEd", 1, 20}};
    for (const auto &s : spins) {
        EXPECT_EQ(child<QSpinBox>(s.name)->minimum(), s.min) << s.name;
        EXPECT_EQ(child<QSpinBox>(s.name)->maximum(), s.max) << s.name;
    }
    const char *swatches[] = {"p_color_shape", "t_color_shape", "chart_backpanel_Shape", "start_shape", "middle_Shape",
                              "end_Shape", "left_axis_color_shapeShape", "left_axis_tick_color_shape",
                              "left_axis_font_color_shape", "left_axis_grid_color_shape", "right_axis_color_shape",
                              "right_axis_tick_color_shape", "right_axis_font_color_shape",
                              "right_axis_grid_color_shape", "bottom_axis_color_shape", "bottom_axis_tick_color_shape",
                              "bottom_axis_font_color_shape", "bottom_axis_grid_color_shape"};
    for (const char *name : swatches)
        child<TShape>(name);
    const char *buttons[] = {"TntSpeedButton1", "TntSpeedButton2", "TntSpeedButton3", "TntSpeedButton4", "laxis_btn",
                             "laxis_tick_btn", "laxis_font_btn", "laxis_grid_btn", "raxis_btn", "raxis_tick_btn",
                             "raxis_font_btn", "raxis_grid_btn", "baxis_btn", "baxis_tick_btn", "baxis_font_btn",
                             "baxis_grid_btn", "lock_icon"};
    for (const char *name : buttons)
        child<QToolButton>(name);
    auto *combo = child<QComboBox>("gradient_combo");
    ASSERT_EQ(combo->count(), 10);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Bottom Top"));
    EXPECT_EQ(combo->itemText(9), QStringLiteral("Top Bottom"));
}

TEST_F(Panel, GradientDirectionByCode)
{
    auto *combo = child<QComboBox>("gradient_combo");
    for (int code = 0; code < chart_gradient::DirectionCount; ++code) {
        panel.set_gradient_direction(code);
        EXPECT_EQ(panel.gradient_direction(), code);
    }
    combo->setCurrentText(QStringLiteral("Left Right"));
    EXPECT_EQ(panel.gradient_direction(), chart_gradient::LeftRight);
}

TEST_F(Panel, NumberEditsTakeOnlyNumbersAndEnterCommits)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    panel.show();
    QList<TChartPanel::Field> committed;
    QObject::connect(&panel, &TChartPanel::changed, [&](TChartPanel::Field f) { committed.append(f); });
    auto *edit = child<QLineEdit>("left_max");
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("1x.5.-a-"));
    EXPECT_EQ(edit->text(), QStringLiteral("1.5-"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("1.5"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, QStringLiteral("-"));
    EXPECT_EQ(edit->text(), QStringLiteral("-1.5"));
    EXPECT_EQ(committed.count(), 0);
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(committed.count(), 1);
    EXPECT_EQ(committed.first(), TChartPanel::LeftMax);
    EXPECT_EQ(panel.read().left.max, -1.5);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(committed.count(), 2);
    // Shortcuts still work; an empty edit commits nothing.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QString());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(committed.count(), 2);
    for (const char *name : {"left_min", "increment_left", "right_max", "right_min", "increment_right"}) {
        auto *other = child<QLineEdit>(name);
        other->setFocus();
        QTest::keyClicks(other, QStringLiteral("7q"));
        EXPECT_EQ(other->text(), QStringLiteral("7")) << name;
    }
}

TEST_F(Panel, ColourDialogStartsAtTheSwatchAndCancelChangesNothing)
{
    auto *swatch = child<TShape>("start_shape");
    swatch->Set_brush_color(0x123456);
    TColor offered = 0;
    bool confirm = false;
    panel.set_color_asker([&](QWidget *, TColor initial, TColor &chosen) {
        offered = initial;
        chosen = 0xABCDEF;
        return confirm;
    });
    panel.pick_shape_color(*swatch);
    EXPECT_EQ(offered, 0x123456u);
    EXPECT_EQ(swatch->Get_brush_color(), 0x123456u);
    confirm = true;
    panel.pick_shape_color(*swatch);
    EXPECT_EQ(swatch->Get_brush_color(), 0xABCDEFu);
}

TEST_F(Panel, LockIconShowsTheModePicture)
{
    auto *icon = child<QToolButton>("lock_icon");
    for (int mode : {1, 2, 0}) {
        panel.show_axis_mode(mode);
        EXPECT_EQ(panel.shown_axis_mode(), mode);
        EXPECT_EQ(icon->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  lock_pictures::picture(mode))
            << mode;
    }
}

namespace {

// Every value different from the panel's layout, so that a value not filled or not read shows.
TChartPanelValues SampleValues()
{
    TChartPanelValues v;
    v.look.left = {0x010203, 3, 0x040506, 0x070809, 0x0A0B0C};
    v.look.bottom = {0x111213, 5, 0x141516, 0x171819, 0x1A1B1C};
    v.look.right = {0x212223, 7, 0x242526, 0x272829, 0x2A2B2C};
    v.look.back_color = 0x313233;
    v.look.gradient = true;
    v.look.gradient_start = 0x343536;
    v.look.gradient_middle = 0x373839;
    v.look.gradient_end = 0x3A3B3C;
    v.look.gradient_direction = chart_gradient::Radial;
    v.pressure_color = 0x414243;
    v.temperature_color = 0x444546;
    v.left = {false, true, 2.5, -1.25, 0.5, 2, false};
    v.right = {false, true, 40.0, 10.0, 2.0, 1, false};
    return v;
}

} // namespace

TEST_F(Panel, ReadGivesBackWhatWasFilledAndFillingTellsNobody)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    int told = 0;
    QObject::connect(&panel, &TChartPanel::changed, [&] { ++told; });
    const TChartPanelValues values = SampleValues();
    panel.fill(values);
    EXPECT_TRUE(panel.read() == values);
    EXPECT_EQ(told, 0);
    EXPECT_EQ(child<QLineEdit>("left_max")->text(), QStringLiteral("2.50"));
    EXPECT_EQ(child<QLineEdit>("left_min")->text(), QStringLiteral("-1.25"));
    EXPECT_EQ(child<QLineEdit>("increment_left")->text(), QStringLiteral("0.5"));
    EXPECT_EQ(child<QLineEdit>("right_min")->text(), QStringLiteral("10.0"));
    EXPECT_FALSE(child<QGroupBox>("gradient_group")->isHidden()) << "a gradient shows its colours";
    EXPECT_EQ(child<QComboBox>("gradient_combo")->currentText(), QStringLiteral("Radial"));

    // A hidden axis: its controls are disabled and keep what they showed.
    TChartPanelValues hidden = values;
    hidden.right = {false, false, 99.0, 98.0, 97.0, 0, false};
    panel.fill(hidden);
    EXPECT_FALSE(child<QLineEdit>("right_max")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("reset_r_increment")->isEnabled());
    EXPECT_EQ(child<QLineEdit>("right_max")->text(), QStringLiteral("40.0"));
    EXPECT_EQ(panel.read().right.max, 40.0);
    EXPECT_FALSE(panel.read().right.enabled);

    // Decimals outside a field's range are shown clamped.
    TChartPanelValues wide = values;
    wide.left.decimals = 12;
    wide.right.decimals = 3;
    panel.fill(wide);
    EXPECT_EQ(panel.read().left.decimals, 8);
    EXPECT_EQ(panel.read().right.decimals, 2);
    EXPECT_EQ(child<QLineEdit>("right_max")->text(), QStringLiteral("40.00"));
    EXPECT_EQ(told, 0);
}

TEST_F(Panel, EachUserEditTellsItsFieldWithTheNewValue)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    panel.fill(SampleValues());
    panel.set_color_asker([](QWidget *, TColor, TColor &chosen) {
        chosen = 0x00FF00;
        return true;
    });
    QList<TChartPanel::Field> told;
    QObject::connect(&panel, &TChartPanel::changed, [&](TChartPanel::Field f) { told.append(f); });
    const struct {
        const char *name;
        std::function<void(QWidget *)> edit;
        TChartPanel::Field field;
        std::function<bool(const TChartPanelValues &)> holds;
    } cases[] = {
        {"left_axis_auto", [](QWidget *w) { static_cast<QCheckBox *>(w)->click(); }, TChartPanel::LeftAuto,
         [](const TChartPanelValues &v) { return v.left.automatic; }},
        {"right_axis_auto", [](QWidget *w) { static_cast<QCheckBox *>(w)->click(); }, TChartPanel::RightAuto,
         [](const TChartPanelValues &v) { return v.right.automatic; }},
        {"grid_check_l", [](QWidget *w) { static_cast<QCheckBox *>(w)->click(); }, TChartPanel::LeftGrid,
         [](const TChartPanelValues &v) { return v.left.grid; }},
        {"grid_check_r", [](QWidget *w) { static_cast<QCheckBox *>(w)->click(); }, TChartPanel::RightGrid,
         [](const TChartPanelValues &v) { return v.right.grid; }},
        {"decimals_leftaxis", [](QWidget *w) { static_cast<QSpinBox *>(w)->setValue(5); }, TChartPanel::LeftDecimals,
         [](const TChartPanelValues &v) { return v.left.decimals == 5; }},
        {"decimals_rightaxis", [](QWidget *w) { static_cast<QSpinBox *>(w)->setValue(0); },
         TChartPanel::RightDecimals, [](const TChartPanelValues &v) { return v.right.decimals == 0; }},
        {"reset_r_increment", [](QWidget *w) { static_cast<QPushButton *>(w)->click(); },
         TChartPanel::RightIncrement, [](const TChartPanelValues &v) { return v.right.increment == 0.0; }},
        {"p_color_shape", [](QWidget *w) { static_cast<TShape *>(w)->mouseDown(Qt::LeftButton); },
         TChartPanel::PressureColor, [](const TChartPanelValues &v) { return v.pressure_color == 0x00FF00u; }},
        {"t_color_shape", [](QWidget *w) { static_cast<TShape *>(w)->mouseDown(Qt::LeftButton); },
         TChartPanel::TemperatureColor, [](const TChartPanelValues &v) { return v.temperature_color == 0x00FF00u; }},
        {"raxis_tick_btn", [](QWidget *w) { static_cast<QToolButton *>(w)->click(); }, TChartPanel::Look,
         [](const TChartPanelValues &v) { return v.look.right.ticks_color == 0x00FF00u; }},
        {"bottom_axis_SpinEd", [](QWidget *w) { static_cast<QSpinBox *>(w)->setValue(9); }, TChartPanel::Look,
         [](const TChartPanelValues &v) { return v.look.bottom.axis_width == 9; }},
        {"solid_box", [](QWidget *w) { static_cast<QCheckBox *>(w)->click(); }, TChartPanel::Look,
         [](const TChartPanelValues &v) { return !v.look.gradient; }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        told.clear();
        c.edit(child<QWidget>(c.name));
        ASSERT_EQ(told.count(), 1);
        EXPECT_EQ(told.first(), c.field);
        EXPECT_TRUE(c.holds(panel.read()));
    }
    EXPECT_TRUE(child<QGroupBox>("gradient_group")->isHidden()) << "a solid brush hides the gradient";

    told.clear();
    child<TShape>("end_Shape")->mouseDown(Qt::RightButton);
    EXPECT_TRUE(told.isEmpty()) << "only the left button picks a colour";
    child<QComboBox>("gradient_combo")->setCurrentIndex(2);
    EXPECT_TRUE(told.isEmpty()) << "the direction reaches the chart with the next change";
    int locks = 0;
    QObject::connect(&panel, &TChartPanel::lock_clicked, [&] { ++locks; });
    child<QToolButton>("lock_icon")->click();
    EXPECT_EQ(locks, 1);
}

TEST_F(Panel, EnterTakesANumberOrSaysItIsNone)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    panel.show();
    panel.fill(SampleValues());
    QList<TChartPanel::Field> told;
    QStringList refused;
    QObject::connect(&panel, &TChartPanel::changed, [&](TChartPanel::Field f) { told.append(f); });
    QObject::connect(&panel, &TChartPanel::invalid_number, [&](const QString &text) { refused.append(text); });
    const struct {
        const char *name;
        const char *text;
        TChartPanel::Field field;
        double TChartPanelAxis::*member;
        bool left;
        double value;
    } cases[] = {
        {"left_max", "7,5", TChartPanel::LeftMax, &TChartPanelAxis::max, true, 7.5}, // any separator for limits
        {"left_min", "-3", TChartPanel::LeftMin, &TChartPanelAxis::min, true, -3.0},
        {"right_max", "80", TChartPanel::RightMax, &TChartPanelAxis::max, false, 80.0},
        {"right_min", "0.5", TChartPanel::RightMin, &TChartPanelAxis::min, false, 0.5},
        {"increment_left", "0.25", TChartPanel::LeftIncrement, &TChartPanelAxis::increment, true, 0.25},
        {"increment_right", "4", TChartPanel::RightIncrement, &TChartPanelAxis::increment, false, 4.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        told.clear();
        auto *edit = child<QLineEdit>(c.name);
        edit->setText(QString::fromLatin1(c.text));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_EQ(told.count(), 1);
        EXPECT_EQ(told.first(), c.field);
        const TChartPanelValues v = panel.read();
        EXPECT_EQ((c.left ? v.left : v.right).*c.member, c.value);
    }
    told.clear();
    auto *edit = child<QLineEdit>("increment_left");
    for (const char *bad : {"-", "1,5"}) { // a step takes the locale's separator only
        edit->setText(QString::fromLatin1(bad));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
    }
    EXPECT_TRUE(told.isEmpty());
    EXPECT_EQ(refused, (QStringList{"-", "1,5"}));
    EXPECT_EQ(panel.read().left.increment, 0.25) << "nothing taken";
}

TEST_F(Panel, EveryKindOfControlTakesItsCaption)
{
    SingleLanguage language(SingleLanguage::showingKeys({"Axis", "axis_color", "gradient", "Left Axis", "GridColor",
                                                        "Automatic", "reset_increment"}));
    panel.translateCaptions();
    EXPECT_EQ(panel.tabText(0), QStringLiteral("<Axis>"));
    EXPECT_EQ(panel.tabText(2), QStringLiteral("<axis_color>"));
    EXPECT_EQ(child<QGroupBox>("gradient_group")->title(), QStringLiteral("<gradient>"));
    EXPECT_EQ(child<QGroupBox>("left_axis_box")->title(), QStringLiteral("<Left Axis>"));
    EXPECT_EQ(child<QLabel>("left_axis_title")->text(), QStringLiteral("<Left Axis>"));
    EXPECT_EQ(child<QLabel>("gridcolor_lbl3")->text(), QStringLiteral("<GridColor>"));
    EXPECT_EQ(child<QCheckBox>("right_axis_auto")->text(), QStringLiteral("<Automatic>"));
    EXPECT_EQ(child<QPushButton>("reset_l_increment")->text(), QStringLiteral("<reset_increment>"));
}
