// The chart settings panel on its own: its controls, number entry and the colour dialog.
#include "chart_gradient.h"
#include "chart_panel.h"
#include "locale_guard.h"
#include "lock_pictures.h"
#include "qt_printers.h"
#include "shape.h"

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
    QList<QLineEdit *> committed;
    QObject::connect(&panel, &TChartPanel::edit_committed, [&](QLineEdit *e) { committed.append(e); });
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
    EXPECT_EQ(committed.first(), edit);
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
