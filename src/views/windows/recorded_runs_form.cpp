#include "views/windows/recorded_runs_form.h"

#include "services/settings/window_text.h"
#include "views/windows/recorded_runs_text.h"
#include "views/windows/window_placement.h"

#include "ui_recorded_runs_form.h"

#include <QHeaderView>

using window_text::tr_;

Trecorded_runs_form::Trecorded_runs_form(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Trecorded_runs_form>())
{
    ui->setupUi(this);
    ui->message_lbl->hide();
    ui->runs_list->header()->setStretchLastSection(false);
    ui->runs_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->runs_list->header()->setSectionResizeMode(recorded_runs_text::Transmitter, QHeaderView::Stretch);
    connect(ui->runs_list, &QTreeWidget::itemSelectionChanged, this, &Trecorded_runs_form::update_buttons);
    connect(ui->runs_list, &QTreeWidget::itemActivated, this, [this] {
        if (ui->open_btn->isEnabled())
            ui->open_btn->click();
    });
    connect(ui->open_btn, &QPushButton::clicked, this, [this] {
        if (const int i = selected(); i >= 0)
            emit open_requested(fRuns.at(i));
    });
    connect(ui->delete_btn, &QPushButton::clicked, this, [this] {
        if (const int i = selected(); i >= 0)
            emit delete_requested(fRuns.at(i));
    });
    connect(ui->close_btn, &QPushButton::clicked, this, &QWidget::close);
    translateCaptions();
    update_buttons();
}

Trecorded_runs_form::~Trecorded_runs_form() = default;

void Trecorded_runs_form::show_runs(const QList<run_database::Run> &runs, std::int64_t running, const QString &error)
{
    const std::int64_t before = selected() >= 0 ? fRuns.at(selected()).id : -1;
    fRuns = runs;
    fRunning = running;
    ui->runs_list->clear();
    QList<QTreeWidgetItem *> items;
    for (const run_database::Run &run : fRuns) {
        auto *item = new QTreeWidgetItem(recorded_runs_text::cells(run, run.id == running)); // owned by the list
        for (int column : {int(recorded_runs_text::Rows), int(recorded_runs_text::Size)})
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    ui->runs_list->addTopLevelItems(items);
    ui->message_lbl->setVisible(!error.isEmpty() || fRuns.isEmpty());
    ui->message_lbl->setText(!error.isEmpty() ? error : tr_("runs_none", "No run has been recorded yet."));
    int again = 0;
    for (int i = 0; i < fRuns.size(); ++i)
        if (fRuns.at(i).id == before)
            again = i;
    select(fRuns.isEmpty() ? -1 : again);
    update_buttons();
}

void Trecorded_runs_form::set_busy(bool busy)
{
    fBusy = busy;
    update_buttons();
}

int Trecorded_runs_form::selected() const
{
    const QList<QTreeWidgetItem *> items = ui->runs_list->selectedItems();
    return items.isEmpty() ? -1 : ui->runs_list->indexOfTopLevelItem(items.first());
}

void Trecorded_runs_form::select(int index)
{
    if (QTreeWidgetItem *item = ui->runs_list->topLevelItem(index)) {
        ui->runs_list->setCurrentItem(item);
        item->setSelected(true);
    } else {
        ui->runs_list->clearSelection();
    }
}

void Trecorded_runs_form::update_buttons()
{
    const int i = selected();
    ui->open_btn->setEnabled(i >= 0 && !fBusy);
    const bool running = i >= 0 && fRuns.at(i).id == fRunning;
    ui->delete_btn->setEnabled(i >= 0 && !fBusy && !running);
    ui->delete_btn->setToolTip(running ? tr_("runs_delete_running", "The run being recorded cannot be deleted.")
                                       : QString());
}

void Trecorded_runs_form::translateCaptions()
{
    setWindowTitle(tr_("runs_title", "Recorded runs"));
    ui->runs_list->setHeaderLabels(recorded_runs_text::headers());
    ui->open_btn->setText(tr_("runs_open", "Open"));
    ui->delete_btn->setText(tr_("runs_delete", "Delete…"));
    ui->close_btn->setText(tr_("close", "Close"));
    // The lines carry translated words too.
    if (isVisible())
        emit reload_requested();
}

void Trecorded_runs_form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!fPlaced) {
        fPlaced = true;
        centre_over_parent(this);
    }
    emit reload_requested();
}
