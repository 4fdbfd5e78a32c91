// The monitor chart in the main window's monitor view: axis modes and limits, labels, the
// settings panel and the chart's stored settings.
#include "views/instruments/BarDisplay.h"
#include "services/utils/ZUtils.h"
#include "services/settings/IniHandler.h"
#include "views/chart/chart_panel.h"
#include "views/chart/chart.h"
#include "views/chart/chart_picture_save.h"
#include "locale_guard.h"
#include "main_window_fixture.h"
#include "views/chart/monitor_chart.h"
#include "views/monitor/monitor_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>

namespace {

class ChartTest : public MainWindowTest
{
protected:
    // Settings written before the window exists; the file goes when the test ends.
    virtual QByteArray storedSettings() const { return {}; }

    void SetUp() override
    {
        home();
        QDir().mkpath(QFileInfo(settingsFile()).path());
        QFile::remove(settingsFile());
        const QByteArray stored = storedSettings();
        if (!stored.isEmpty()) {
            QFile file(settingsFile());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(stored);
        }
        MainWindowTest::SetUp();
        // The chart settings are read with the deferred start-up, which then starts the scan worker.
        ASSERT_TRUE(waitFor([this] { return chart()->series(TChart::PressureSeries) != nullptr; }, 4000));
        ASSERT_TRUE(waitFor([this] { return form->session().scan_running(); }));
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QFile::remove(settingsFile());
    }

    TChart *chart() const { return child<TChart>("Chart"); }
    TChartPanel *panel() const { return child<TChartPanel>("graph_control"); }
    TMonitorChart *monitor() const { return child<TMonitorChart>("monitor_chart"); }
    TMonitorView *view() const { return child<TMonitorView>("monitor"); }
    template <typename T> T *control(const char *name) const
    {
        T *found = panel()->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QCPRange left() const { return chart()->left_axis()->range(); }
    QCPRange right() const { return chart()->right_axis()->range(); }
    QStringList labels(QCPAxis *axis) const
    {
        chart()->replot();
        return axis->tickVectorLabels();
    }
    void mouse(QEvent::Type type, QWidget *widget, QPoint at, Qt::MouseButton button = Qt::NoButton)
    {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    void enter(QLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QString stored(const char *section, const char *key) const
    {
        return TIniHandler::getInstance()->readText(QString::fromLatin1(section), QString::fromLatin1(key),
                                                    QStringLiteral("<none>"));
    }
};

} // namespace

TEST_F(ChartTest, ThreeLockClicksReturnToAutomatic)
{
    ASSERT_EQ(view()->Get_axis_mode(), 0);
    auto *lock = control<QToolButton>("lock_icon");
    auto *leftAuto = control<QCheckBox>("left_axis_auto");
    auto *rightAuto = control<QCheckBox>("right_axis_auto");
    const struct {
        int mode;
        bool automatic, zoom;
        Qt::Orientations pan;
    } steps[] = {{1, false, true, Qt::Horizontal | Qt::Vertical},
                 {2, false, false, Qt::Horizontal},
                 {0, true, true, Qt::Horizontal | Qt::Vertical}};
    for (const auto &s : steps) {
        lock->click();
        SCOPED_TRACE(s.mode);
        EXPECT_EQ(view()->Get_axis_mode(), s.mode);
        EXPECT_EQ(panel()->shown_axis_mode(), s.mode);
        EXPECT_EQ(monitor()->Get_axis_automatic(), s.automatic);
        EXPECT_EQ(leftAuto->isChecked(), s.automatic);
        EXPECT_EQ(rightAuto->isChecked(), s.automatic);
        EXPECT_EQ(chart()->zoom_allowed(), s.zoom);
        EXPECT_EQ(chart()->pan_orientations(), s.pan);
        if (s.mode != 0) {
            EXPECT_EQ(left(), QCPRange(0.0, 1.0)) << "the manual limits";
            EXPECT_EQ(right(), QCPRange(0.0, 30.0));
        }
    }
    EXPECT_TRUE(chart()->auto_scaling(chart()->right_axis())) << "ticking the right box switched it on";
    view()->Set_axis_mode(5);
    EXPECT_EQ(panel()->shown_axis_mode(), 5) << "only the picture";
    EXPECT_TRUE(monitor()->Get_axis_automatic());
}

TEST_F(ChartTest, LimitAboveTheMaximumIsHeldThereAndBothAxesTakeTheLimits)
{
    view()->Set_left_max(3.0);
    EXPECT_EQ(left(), QCPRange(0.0, 3.0));
    EXPECT_EQ(right(), QCPRange(0.0, 30.0)) << "both value axes, even in automatic mode";
    view()->Set_right_min(40.0);
    EXPECT_EQ(view()->Get_right_min(), 30.0);
    view()->Set_left_min(5.0);
    EXPECT_EQ(view()->Get_left_min(), 3.0);
    EXPECT_NEAR(left().center(), 3.0, 1e-12) << "both limits 3: shown around 3";
    EXPECT_GT(left().size(), 0.0);
    view()->Set_left_max(-2.0);
    EXPECT_EQ(view()->Get_left_max(), 3.0);
    view()->Set_left_min(1.0);
    EXPECT_EQ(left(), QCPRange(1.0, 3.0));
    EXPECT_EQ(view()->Get_axis_mode(), 0);
    EXPECT_EQ(panel()->shown_axis_mode(), 0);
    EXPECT_TRUE(control<QCheckBox>("left_axis_auto")->isChecked());
}

TEST_F(ChartTest, InitialRangesFromTheFirstScanThenWideningDuringTheRun)
{
    ASSERT_TRUE(waitForScan());
    // The simulated transmitter's range is 0 ... 10 bar: one hundredth of it each side of the pressure.
    const auto shown = [this] { return child<QLineEdit>("pressuredisplay")->text().toDouble(); };
    ASSERT_TRUE(waitFor([&] { return std::fabs(left().center() - shown()) < 0.0006; }));
    EXPECT_NEAR(left().size(), 0.2, 1e-9) << "one hundredth of the range each side";
    EXPECT_NEAR(right().size(), 1.5, 1e-9);
    const QCPRange first = left();
    child<QPushButton>("start_btn")->click();
    ASSERT_TRUE(waitFor([this] { return chart()->point_count(TChart::PressureSeries) >= 5; }));
    EXPECT_LE(left().lower, first.lower) << "ranges only widen";
    EXPECT_GE(left().upper, first.upper);
}

TEST_F(ChartTest, ValueLabelsWithTheAxisDecimals)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    view()->Set_left_increment(0.5);
    view()->Set_left_max(3.0);
    view()->Set_left_min(2.0);
    EXPECT_EQ(labels(chart()->left_axis()), (QStringList{"2.000", "2.500", "3.000"}));
    const int reserved = chart()->reserved_label_width(chart()->left_axis());
    EXPECT_GE(reserved, 40);
    view()->Set_leftaxis_digits(1);
    EXPECT_EQ(view()->Get_left_axis_lbl_format(), QStringLiteral("###0.#"));
    EXPECT_EQ(labels(chart()->left_axis()), (QStringList{"2.0", "2.5", "3.0"}));
    EXPECT_EQ(chart()->reserved_label_width(chart()->left_axis()), reserved) << "never shrinks";
    view()->Set_rightaxis_digits(0);
    for (const QString &label : labels(chart()->right_axis()))
        EXPECT_FALSE(label.contains(u'.')) << label.toStdString();
    EXPECT_EQ(stored("viewer", "left_increment"), QStringLiteral("0.5")) << "written at once";
    view()->Set_left_increment(0);
    EXPECT_EQ(stored("viewer", "left_increment"), QStringLiteral("0"));
    view()->Set_show_left_grid(false);
    EXPECT_FALSE(chart()->left_axis()->grid()->visible());
    EXPECT_TRUE(chart()->right_axis()->grid()->visible());
}

TEST_F(ChartTest, PanelSlidesOpenAtTheChartsLeftEdgeAndShowsTheChart)
{
    EXPECT_EQ(panel()->width(), 2);
    mouse(QEvent::MouseMove, chart(), QPoint(3, 100));
    EXPECT_TRUE(monitor()->Get_sidebar_expanded());
    ASSERT_TRUE(waitFor([this] { return panel()->width() == 280; }));
    const TChartProps before = chart()->props();
    EXPECT_EQ(control<QLineEdit>("left_max")->text(), ZString::FormatFixed(left().upper, 3));
    EXPECT_EQ(control<QLineEdit>("left_min")->text(), ZString::FormatFixed(left().lower, 3));
    EXPECT_EQ(control<QLineEdit>("increment_left")->text(),
              QStringLiteral("0.001").replace(u'.', ZString::LocaleDecimalSeparator()));
    EXPECT_EQ(control<QSpinBox>("decimals_leftaxis")->value(), 3);
    EXPECT_EQ(control<TShape>("left_axis_color_shapeShape")->Get_brush_color(), before.left.axis_color);
    EXPECT_EQ(control<TShape>("left_axis_color_shapeShape")->Get_brush_color(), 0x00CA6500u) << "the curve colour";
    EXPECT_EQ(control<TShape>("bottom_axis_grid_color_shape")->Get_brush_color(), before.bottom.grid_color);
    EXPECT_EQ(control<TShape>("p_color_shape")->Get_brush_color(), 0x00CA6500u);
    EXPECT_EQ(control<TShape>("t_color_shape")->Get_brush_color(), 0x001111FFu);
    EXPECT_EQ(control<TShape>("chart_backpanel_Shape")->Get_brush_color(), 0xFFFFFFu);
    EXPECT_TRUE(control<QCheckBox>("solid_box")->isChecked());
    EXPECT_TRUE(control<QGroupBox>("gradient_group")->isHidden());
    EXPECT_EQ(control<QSpinBox>("left_axis_SpinEd")->value(), 1);
    EXPECT_TRUE(chart()->props() == before) << "filling changes nothing on the chart";

    mouse(QEvent::MouseMove, chart(), QPoint(30, 100));
    EXPECT_FALSE(monitor()->Get_sidebar_expanded());
    EXPECT_TRUE(waitFor([this] { return panel()->width() == 2; }));
    mouse(QEvent::MouseMove, chart(), QPoint(0, 100));
    ASSERT_TRUE(monitor()->Get_sidebar_expanded());
    QEnterEvent entered(QPointF(300, 100), QPointF(300, 100), chart()->mapToGlobal(QPointF(300, 100)));
    QApplication::sendEvent(chart(), &entered);
    EXPECT_FALSE(monitor()->Get_sidebar_expanded()) << "back on the chart";

    // The gauge hides the chart and closes the panel; a double click on it shows the chart again.
    view()->expand_sidebar();
    child<QToolButton>("switch_button")->click();
    auto *stack = child<QStackedWidget>("chart_stack");
    EXPECT_EQ(stack->currentWidget()->objectName(), QStringLiteral("gauge_page"));
    EXPECT_FALSE(monitor()->Get_sidebar_expanded());
    EXPECT_FALSE(child<QToolButton>("switch_button")->isChecked());
    auto *gauge = child<QWidget>("AnalogDisplay");
    mouse(QEvent::MouseButtonDblClick, gauge, gauge->rect().center(), Qt::LeftButton);
    EXPECT_EQ(stack->currentWidget()->objectName(), QStringLiteral("chart_page"));
    EXPECT_TRUE(child<QToolButton>("switch_button")->isChecked());
}

TEST_F(ChartTest, EnterCommitsAndTextThatIsNoNumberChangesNothing)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    view()->expand_sidebar();
    enter(control<QLineEdit>("left_max"), QStringLiteral("2.5"));
    EXPECT_EQ(view()->Get_left_max(), 2.5);
    EXPECT_EQ(left().upper, 2.5);
    enter(control<QLineEdit>("right_min"), QStringLiteral("-10"));
    EXPECT_EQ(view()->Get_right_min(), -10.0);
    enter(control<QLineEdit>("increment_right"), QStringLiteral("0.25"));
    EXPECT_EQ(view()->Get_right_increment(), 0.25);
    EXPECT_EQ(stored("viewer", "right_increment"), QStringLiteral("0.25"));
    // A minimum above the maximum is held at it, and the edits show the range the axis then
    // uses (an empty range is drawn a little wider).
    enter(control<QLineEdit>("left_min"), QStringLiteral("9"));
    EXPECT_EQ(view()->Get_left_min(), 2.5);
    EXPECT_EQ(control<QLineEdit>("left_min")->text(), ZString::FormatFixed(left().lower, 3, 12));
    EXPECT_EQ(control<QLineEdit>("left_max")->text(), ZString::FormatFixed(left().upper, 3, 12));
    EXPECT_LE(left().lower, 2.5);
    EXPECT_GE(left().upper, 2.5);

    const QCPRange before = left();
    for (const char *bad : {"-", "1-2-"}) {
        QString message;
        answerNextDialog(1, &message);
        enter(control<QLineEdit>("left_min"), QString::fromLatin1(bad));
        EXPECT_EQ(message, QStringLiteral("'%1' is not a valid floating point value.").arg(QString::fromLatin1(bad)));
        EXPECT_EQ(view()->Get_left_min(), 2.5);
        EXPECT_EQ(left(), before);
    }
    QString message;
    answerNextDialog(1, &message);
    enter(control<QLineEdit>("increment_left"), QStringLiteral("-"));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(view()->Get_left_increment(), 0.001);
    EXPECT_EQ(stored("viewer", "left_increment"), QStringLiteral("0.001"));

    control<QPushButton>("reset_l_increment")->click();
    EXPECT_EQ(control<QLineEdit>("increment_left")->text(), QStringLiteral("0"));
    EXPECT_EQ(view()->Get_left_increment(), 0.0);
    EXPECT_EQ(stored("viewer", "left_increment"), QStringLiteral("0"));
}

TEST_F(ChartTest, LimitFieldsShowTheRangesTheAxesUseInEveryMode)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    view()->expand_sidebar();
    const auto fieldsMatchAxes = [this] {
        const int l = control<QSpinBox>("decimals_leftaxis")->value();
        const int r = control<QSpinBox>("decimals_rightaxis")->value();
        EXPECT_EQ(control<QLineEdit>("left_max")->text(), ZString::FormatFixed(left().upper, l, 12));
        EXPECT_EQ(control<QLineEdit>("left_min")->text(), ZString::FormatFixed(left().lower, l, 12));
        EXPECT_EQ(control<QLineEdit>("right_max")->text(), ZString::FormatFixed(right().upper, r, 12));
        EXPECT_EQ(control<QLineEdit>("right_min")->text(), ZString::FormatFixed(right().lower, r, 12));
    };
    ASSERT_TRUE(waitForScan()); // the first scan sets the automatic ranges
    {
        SCOPED_TRACE("automatic after the scan");
        fieldsMatchAxes();
    }
    for (int mode : {1, 2, 0}) {
        SCOPED_TRACE(mode);
        control<QToolButton>("lock_icon")->click();
        ASSERT_EQ(view()->Get_axis_mode(), mode);
        fieldsMatchAxes();
    }

    // A limit typed while the axes scale themselves takes them out of it, the lock shows it, and
    // every field shows what the axes now use.
    ASSERT_EQ(view()->Get_axis_mode(), 0);
    enter(control<QLineEdit>("left_max"), QStringLiteral("10"));
    EXPECT_EQ(view()->Get_axis_mode(), 1);
    EXPECT_FALSE(control<QCheckBox>("left_axis_auto")->isChecked());
    EXPECT_EQ(left().upper, 10.0);
    fieldsMatchAxes();
    EXPECT_EQ(control<QLineEdit>("left_max")->text(), QStringLiteral("10.000"));
    // The next measurements leave the typed limit alone.
    child<QPushButton>("start_btn")->click();
    ASSERT_TRUE(waitFor([this] { return chart()->point_count(TChart::PressureSeries) >= 3; }));
    EXPECT_EQ(left().upper, 10.0);
    fieldsMatchAxes();
    child<QPushButton>("stop_btn")->click();
}

TEST_F(ChartTest, ColourSwatchesReachTheChartAndCancelChangesNothing)
{
    view()->expand_sidebar();
    TColor answer = 0x00FF00;
    bool confirm = false;
    panel()->set_color_asker([&](QWidget *, TColor, TColor &chosen) {
        chosen = answer;
        return confirm;
    });
    const TChartProps before = chart()->props();
    control<TShape>("p_color_shape")->mouseDown(Qt::LeftButton);
    EXPECT_TRUE(chart()->props() == before);
    EXPECT_EQ(chart()->series(TChart::PressureSeries)->pen().color(), TColorToQColor(0x00CA6500));

    confirm = true;
    control<TShape>("p_color_shape")->mouseDown(Qt::LeftButton);
    EXPECT_EQ(chart()->series(TChart::PressureSeries)->pen().color(), QColor(Qt::green));
    EXPECT_EQ(chart()->series(TChart::PressureSeries)->scatterStyle().brush().color(), QColor(Qt::green));
    EXPECT_EQ(child<TShape>("p_Shape")->Get_brush_color(), 0x00FF00u);
    auto *bar = child<TBarDisplay>("pressure_bar");
    for (TColor c : {bar->GetMinColor(), bar->GetMidColor(), bar->GetMaxColor(), bar->GetMinColor_minor(),
                     bar->GetMidColor_minor(), bar->GetMaxColor_minor()})
        EXPECT_EQ(c, 0x00FF00u);
    EXPECT_EQ(chart()->props().left.axis_color, before.left.axis_color) << "the axis keeps its own colour";

    answer = 0x0000FF;
    control<QToolButton>("baxis_grid_btn")->click();
    EXPECT_EQ(chart()->props().bottom.grid_color, 0x0000FFu);
    EXPECT_EQ(chart()->bottom_axis()->grid()->pen().color(), QColor(Qt::red));
    control<QSpinBox>("left_axis_SpinEd")->setValue(4);
    EXPECT_EQ(chart()->left_axis()->basePen().width(), 4);

    // A gradient with a chosen direction.
    control<QCheckBox>("solid_box")->click();
    EXPECT_FALSE(control<QGroupBox>("gradient_group")->isHidden());
    EXPECT_TRUE(chart()->props().gradient);
    control<QComboBox>("gradient_combo")->setCurrentText(QStringLiteral("Radial"));
    EXPECT_EQ(chart()->props().gradient_direction, 0) << "reaches the chart with the next change";
    control<QToolButton>("TntSpeedButton2")->click();
    EXPECT_EQ(chart()->props().gradient_direction, 7);
    EXPECT_EQ(chart()->props().gradient_start, 0x0000FFu);
}

TEST_F(ChartTest, SettingsWrittenAtCloseAndReadAtTheNextStart)
{
    view()->expand_sidebar();
    panel()->set_color_asker([](QWidget *, TColor, TColor &chosen) {
        chosen = 0x808000;
        return true;
    });
    control<QCheckBox>("solid_box")->click();
    control<QComboBox>("gradient_combo")->setCurrentText(QStringLiteral("From Top Left"));
    control<QToolButton>("TntSpeedButton3")->click();
    control<TShape>("t_color_shape")->mouseDown(Qt::LeftButton);
    view()->Set_left_max(4.0);
    view()->Set_right_min(-5.0);
    view()->Set_leftaxis_digits(2);
    view()->Set_show_right_grid(false);
    view()->lock_iconClick();
    view()->lock_iconClick();
    ASSERT_TRUE(form->close());

    EXPECT_EQ(stored("Chart", "Gradient"), QStringLiteral("1"));
    EXPECT_EQ(stored("Chart", "Gradient_Direction"), QStringLiteral("5"));
    EXPECT_EQ(stored("Chart", "Gradient_MidColor"), QStringLiteral("clTeal"));
    EXPECT_EQ(stored("Chart", "LeftAxis_Axis_Color"), QStringLiteral("$00CA6500"));
    EXPECT_EQ(stored("viewer", "axismode"), QStringLiteral("2"));
    EXPECT_EQ(stored("viewer", "l_max"), QStringLiteral("4").replace(u'.', ZString::LocaleDecimalSeparator()));
    EXPECT_EQ(stored("viewer", "left_decimals"), QStringLiteral("2"));
    EXPECT_EQ(stored("viewer", "right_grid"), QStringLiteral("0"));
    EXPECT_EQ(stored("viewer", "t_color"), QStringLiteral("clTeal"));

    form.reset();
    form = std::make_unique<Tmain_Form>();
    TmsgDialog::setMainWindow(form.get());
    form->attach_windows({nullptr, memory.get(), nullptr, table.get()});
    form->show();
    ASSERT_TRUE(waitFor([this] { return chart()->series(TChart::PressureSeries) != nullptr; }, 4000));
    ASSERT_TRUE(waitFor([this] { return form->session().scan_running(); }));
    EXPECT_EQ(view()->Get_axis_mode(), 2);
    EXPECT_FALSE(chart()->zoom_allowed());
    EXPECT_EQ(view()->Get_left_max(), 4.0);
    EXPECT_EQ(left(), QCPRange(0.0, 4.0));
    EXPECT_EQ(right(), QCPRange(-5.0, 30.0));
    EXPECT_EQ(view()->Get_leftaxis_digits(), 2);
    EXPECT_FALSE(chart()->right_axis()->grid()->visible());
    EXPECT_TRUE(chart()->props().gradient);
    EXPECT_EQ(chart()->props().right.axis_color, 0x808000u) << "the right axis line takes the curve colour";
    EXPECT_EQ(chart()->series(TChart::TemperatureSeries)->pen().color(), TColorToQColor(0x808000));
    view()->expand_sidebar();
    EXPECT_EQ(control<QComboBox>("gradient_combo")->currentText(), QStringLiteral("From Top Left"));
    EXPECT_EQ(control<TShape>("middle_Shape")->Get_brush_color(), 0x808000u);
}

TEST_F(ChartTest, SavedAsAPictureFromTheFileMenuAndFromTheChartsMenu)
{
    // In the File menu above the recorded runs and the journal, which stays just above Exit.
    QAction *save = &view()->picture_save().action();
    QList<QAction *> fileMenu;
    for (QMenu *menu : form->findChildren<QMenu *>())
        if (menu->actions().contains(child<QAction>("exit_Action")))
            fileMenu = menu->actions();
    const qsizetype at = fileMenu.indexOf(save);
    ASSERT_GT(at, 0);
    EXPECT_EQ(fileMenu.value(at + 1), child<QAction>("recorded_runs_Action"));
    EXPECT_EQ(fileMenu.value(at + 2), child<QAction>("journal_Action"));
    EXPECT_EQ(fileMenu.value(at + 3), child<QAction>("exit_Action"));
    EXPECT_EQ(save->text(), QStringLiteral("Save chart as…"));
    EXPECT_TRUE(chart()->actions().contains(save)) << "the chart's own menu";

    const QString file = home().filePath(QStringLiteral("pictures/monitor"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    QStringList errors;
    TChartPictureSave &saver = view()->picture_save();
    saver.set_file_asker([&](QWidget *, const QString &, const QString &, chart_picture::Format) {
        return std::optional<TChartPictureSave::FileChoice>({file, chart_picture::Format::Png});
    });
    saver.set_size_asker([](QWidget *, chart_picture::Format, const QSize &, const chart_picture::SizeChoice &) {
        return std::optional<chart_picture::SizeChoice>(chart_picture::SizeChoice{});
    });
    saver.set_error_reporter([&](QWidget *, const QString &message) { errors << message; });
    save->trigger();
    EXPECT_EQ(errors, QStringList());
    const QImage picture(file + QStringLiteral(".png"));
    EXPECT_EQ(picture.size(), chart()->size()) << "the size shown";
    EXPECT_EQ(QDir(TIniHandler::getInstance()->Get_ExportDir()), QDir(QFileInfo(file).path()));
}

namespace {

class StoredChart : public ChartTest
{
protected:
    QByteArray storedSettings() const override
    {
        return "[viewer]\nright_decimals=3\nleft_decimals=12\naxismode=1\nl_min=1,5\nl_max=2.5\n"
               "[Chart]\nBack_Panel_Color=clSilver\nRightAxis_Axis_Width=3\n";
    }
};

} // namespace

TEST_F(StoredChart, OpeningThePanelClampsTheDecimals)
{
    EXPECT_EQ(view()->Get_axis_mode(), 1);
    EXPECT_EQ(left(), QCPRange(1.5, 2.5)) << "either separator";
    EXPECT_EQ(view()->Get_rightaxis_digits(), 3);
    EXPECT_EQ(chart()->back_color(), 0xC0C0C0u);
    EXPECT_EQ(chart()->props().right.axis_width, 3);
    EXPECT_EQ(chart()->props().left.axis_width, 1) << "missing keys take the defaults";
    EXPECT_EQ(chart()->props().left.grid_color, 0xC0C0C0u) << "not the layout's grid colour";

    view()->expand_sidebar();
    EXPECT_EQ(control<QSpinBox>("decimals_rightaxis")->value(), 2);
    EXPECT_EQ(view()->Get_rightaxis_digits(), 2);
    EXPECT_EQ(control<QSpinBox>("decimals_leftaxis")->value(), 8);
    EXPECT_EQ(view()->Get_leftaxis_digits(), 8);
    EXPECT_EQ(control<QLineEdit>("right_max")->text(), ZString::FormatFixed(right().upper, 2));
    EXPECT_FALSE(control<QCheckBox>("left_axis_auto")->isChecked());
    for (const QString &label : labels(chart()->right_axis())) {
        const qsizetype point = label.indexOf(ZString::LocaleDecimalSeparator());
        ASSERT_GE(point, 0) << label.toStdString();
        EXPECT_EQ(label.size() - point - 1, 2) << label.toStdString();
    }
}
