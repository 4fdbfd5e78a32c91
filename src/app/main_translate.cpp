// The main window's captions in the current language, and those of the windows it knows.
#include "app/main.h"

#include "services/log/logFile.h"
#include "services/log/logFileForm.h"
#include "session/session.h"
#include "app/new_address_group.h"
#include "app/readdress_journal_flow.h"
#include "app/recorded_runs_flow.h"
#include "views/windows/recorded_runs_text.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/device_memory.h"
#include "views/windows/table_view.h"
#include "ui_main.h"
#include "services/settings/window_text.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <vector>

using window_text::tr_;

namespace {

struct CaptionRow {
    const char *key;
    const char *defaultText;
    std::vector<QObject *> targets;
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
    else if (auto *page = qobject_cast<QWidget *>(target))
        setTabCaption(page, text);
}

} // namespace

void Tmain_Form::translateGui()
{
    const std::vector<CaptionRow> menuAndPanels = {
        // Menu commands.
        // The menu bar shows the menus' own titles.
        {"file", "File", {ui->file_Action, ui->file_menu->menuAction()}},
        {"dongle", "Dongle", {ui->dongle_menu->menuAction()}},
        {"options", "Options", {ui->options_menu->menuAction()}},
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
    };
    for (const CaptionRow &row : menuAndPanels) {
        const QString text = tr_(row.key, row.defaultText);
        for (QObject *target : row.targets)
            setCaption(target, text);
    }

    f_journal->action().setText(tr_("readdr_journal", "Re-addressing journal…"));
    ui->monitor->translateCaptions();
    update_status_Gui(fSession->transmitter());

    // The other windows follow, open or hidden; each takes its texts itself. The options dialog
    // does so whenever it is shown.
    if (fWindows.table)
        fWindows.table->translateCaptions();
    if (fWindows.memory)
        fWindows.memory->translateCaptions();
    f_journal->translateCaptions();
    f_runs->translateCaptions();
    if (const run_database::Run *run = f_runs->open_run())
        ui->monitor->set_run_caption(recorded_runs_text::title(*run));
    if (auto *viewer = dynamic_cast<TlogForm *>(fLog->viewer()))
        viewer->translateCaptions();
}
