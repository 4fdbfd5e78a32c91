// The main window's captions in the current language.
#include "main.h"

#include "AnalogDisplay.h"
#include "BarDisplay.h"
#include "Translator.h"
#include "chart_panel.h"
#include "chart_widget.h"
#include "new_address_group.h"
#include "readdress_journal_flow.h"
#include "ui_main.h"
#include "window_text.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <vector>

using window_text::tr_;

namespace {

struct CaptionRow {
    const char *key;
    const char *defaultText;
    std::vector<QObject *> targets;
};

// The chart settings pages name their controls only; a page built without one of them skips it.
struct PanelRow {
    const char *key;
    const char *defaultText;
    std::vector<const char *> names;
};

const PanelRow ChartPanelRows[] = {
    {"Automatic", "Automatic", {"left_axis_auto", "right_axis_auto"}},
    {"Axis", "Axis", {"axis_sheet"}},
    {"chart_color", "Chart Color", {"color_sheet"}},
    {"axis_color", "Axis Color", {"axis_color_sheet"}},
    {"Show GridLines Left Axis", "Show GridLines Left Axis", {"grid_check_l"}},
    {"Show GridLines Right Axis", "Show GridLines Right Axis", {"grid_check_r"}},
    {"Left Axis", "Left Axis", {"left_axis_title", "left_axis_box"}},
    {"Right Axis", "Right Axis", {"right_axis_title", "right_axis_box"}},
    {"Bottom Axis", "Bottom Axis", {"bottom_axis_box"}},
    {"Max", "Max", {"Max_title", "Max_title2"}},
    {"Min", "Min", {"min_title", "min_title2"}},
    {"Decimals", "Decimals", {"left_axis_dec_lbl", "right_axis_dec_lbl"}},
    {"Increment", "Increment", {"increment_left_lbl", "increment_right_lbl"}},
    {"reset_increment", "reset", {"reset_r_increment", "reset_l_increment"}},
    {"chart_filling_box", "Chart Brush Color", {"chart_filling_box"}},
    {"chart_backpanel_lbl", "Back Wall Color", {"chart_backpanel_lbl"}},
    {"solid", "Solid Brush", {"solid_box"}},
    {"gradient", "Gradient", {"gradient_group"}},
    {"start", "Start", {"start_lbl"}},
    {"middle", "Middle", {"middle_lbl"}},
    {"end", "End", {"end_lbl"}},
    {"direction", "Direction", {"direction_lbl"}},
    {"AxisColor", "Axis Color", {"axis_color_lbl1", "axis_color_lbl2", "axis_color_lbl3"}},
    {"AxisWidth", "Axis Width", {"axis_width_lbl1", "axis_width_lbl2", "axis_width_lbl3"}},
    {"TickColor", "Tick Color", {"TickColor_lbl1", "TickColor_lbl2", "TickColor_lbl3"}},
    {"FontColor", "Font Color", {"font_color_lbl1", "font_color_lbl2", "font_color_lbl3"}},
    {"GridColor", "Grid Color", {"gridcolor_lbl1", "gridcolor_lbl2", "gridcolor_lbl3"}},
};

// A page of a tab widget carries its caption on the tab.
bool setTabCaption(QWidget *page, const QString &text)
{
    for (QWidget *ancestor = page->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(ancestor)) {
            const int index = tabs->indexOf(page);
            if (index < 0)
                return false;
            tabs->setTabText(index, text);
            return true;
        }
    }
    return false;
}

void setCaption(QObject *target, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(target))
        action->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(target))
        group->setTitle(text);
    else if (auto *label = qobject_cast<QLabel *>(target))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(target))
        button->setText(text);
    else if (auto *bar = qobject_cast<TBarDisplay *>(target))
        bar->SetCaption(text);
    else if (auto *page = qobject_cast<QWidget *>(target))
        setTabCaption(page, text);
}

} // namespace

void Tmain_Form::translateGui()
{
    const std::vector<CaptionRow> menuPanelsMonitor = {
        // Menu commands.
        {"file", "File", {ui->file_Action}},
        {"showlog", "Show Logfile", {ui->show_log_Action}},
        {"exit", "Exit", {ui->exit_Action}},
        {"detect_dongle", "Detect Dongle", {ui->detect_dongle_Action}},
        {"scan_device", "Scan Device", {ui->ScanDeviceAction}},
        {"read_memory", "Read Memory Image", {ui->read_memory_image_Action}},
        {"chng_dev_addr", "Change Device Address", {ui->change_address_Action}},
        {"shw_memory", "Show Memory Map", {ui->show_memory_map_Action}},
        {"settings", "Settings", {ui->setting_Action}},
        {"about", "About", {ui->aboutAction}},
        // Device information and re-addressing.
        {"device_info_box", "Device Information", {ui->device_info_box}},
        {"scaling", "Scaling", {ui->scaling_title}},
        {"pr_lbl", "PR : Vented Gauge, Zero@ Atm.", {ui->pr_lbl}},
        {"PA_lbl", "PA : Sealed Gauge, Zero@ 1bar", {ui->PA_lbl}},
        {"paa_lbl", "PAA : Absolute Zero@ Vacuum", {ui->paa_lbl}},
        {"calibrationdate_title", "Date of Calibration", {ui->calibrationdate_title}},
        {"uniquecode_title", "Unique ID", {ui->uniquecode_title}},
        {"dev_status_title", "Device Status", {ui->dev_status_title}},
        {"slaveaddr_title", "Slave Address", {ui->slaveaddr_title}},
        {"new_addr_GroupBox", "New Slave Address", {ui->new_addr_GroupBox}},
        {"readdressing_left_title", "Number of Re-Addressing left", {ui->readdressing_left_title}},
        {"new_address_title", "New Slave Address", {ui->new_address_title}},
        // Monitor.
        {"monitor_Group", "Monitor", {ui->monitor_Group}},
        {"pressure_display_group", "Pressure [bar]", {ui->pressure_display_group}},
        {"temperature_display_group", "Temperature [°C]", {ui->temperature_display_group}},
        {"fast_Label", "Fast", {ui->fast_Label}},
        {"slow_Label", "Slow", {ui->slow_Label}},
        {"start_btn", "Start", {ui->start_btn}},
        {"clear_btn", "Clear Chart", {ui->clear_btn}},
        {"pressure_Box", "Pressure", {ui->pressure_Box}},
        {"Temperature_Box", "Temperature", {ui->Temperature_Box}},
        {"pressure_display_group", "Pressure [bar]", {ui->pressure_bar}},
        {"temperature_display_group", "Temperature [°C]", {ui->thermometer}},
    };
    for (const CaptionRow &row : menuPanelsMonitor) {
        const QString text = tr_(row.key, row.defaultText);
        for (QObject *target : row.targets)
            setCaption(target, text);
    }

    QWidget *panel = ui->graph_control;
    for (const PanelRow &row : ChartPanelRows) {
        const QString text = tr_(row.key, row.defaultText);
        for (const char *name : row.names)
            if (QObject *target = panel->findChild<QObject *>(QString::fromLatin1(name)))
                setCaption(target, text);
    }

    ui->table_btn->setText(tr_("table", "Table"));
    f_journal->action().setText(tr_("readdr_journal", "Re-addressing journal…"));
    chart()->left_axis()->setLabel(tr_("pressure_display_group", "Pressure [bar]"));
    chart()->right_axis()->setLabel(tr_("temperature_display_group", "Temperature [°C]"));
    chart()->request_replot();
    ui->AnalogDisplay->SetCaption(tr_("pressure_display_group", "Pressure [bar]"));
    show_switch_caption();
    // A running worker writes the device model: only its own synchronised calls may read it,
    // so the changes-left text is then shown again from what was last read.
    if (fScan || fMeas)
        f_new_address->show_again();
    else
        update_status_Gui();
}

// The switch names what the monitor shows.
void Tmain_Form::show_switch_caption()
{
    const bool chartShown = ui->chart_stack->currentWidget() == ui->chart_page;
    ui->switch_button->setText(chartShown ? tr_("switch_chart", "Chart") : tr_("switch_gauge", "Gauge"));
}
