#include "views/windows/journal_form.h"

#include "services/settings/window_text.h"
#include "transmitter/readdress_journal.h"

#include <QDir>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

using window_text::tr_;

namespace {

QStringList headers()
{
    // In the order of the journal's columns.
    return {tr_("journal_time", "Time"),
            tr_("journal_user", "User"),
            tr_("journal_host", "Host"),
            tr_("journal_adapter", "Adapter"),
            tr_("journal_product", "Product code"),
            tr_("journal_old", "Old address"),
            tr_("journal_new", "New address"),
            tr_("journal_page_before", "Page before"),
            tr_("journal_page_after", "Page after"),
            tr_("journal_outcome", "Outcome"),
            tr_("journal_step", "Failed step"),
            tr_("journal_procedure", "Procedure"),
            tr_("journal_before", "Image before"),
            tr_("journal_after", "Image after")};
}

// The journal's own words (outcome, failed step, procedure) as the current language says them;
// the file keeps its words, whatever language shows them.
QHash<QString, QString> shown_words()
{
    using namespace readdress_journal;
    using readdress::Refusal;
    using readdress::Step;
    QHash<QString, QString> words;
    words.insert(outcome_text({}), tr_("journal_success", "Success"));
    words.insert(outcome_text({Step::Confirm}), tr_("journal_cancel", "Cancelled"));
    words.insert(outcome_text({Step::Check, Refusal::NoChangeLeft}), tr_("journal_refused", "Refused"));
    words.insert(outcome_text({Step::Write}), tr_("journal_failure", "Failed"));
    words.insert(Interrupted, tr_("journal_cut_off", "Interrupted"));
    words.insert(procedure_text(Procedure::Readdress), tr_("journal_readdress", "Re-addressing"));
    words.insert(procedure_text(Procedure::Restore), tr_("journal_restore_procedure", "Restore"));

    const QString check = tr_("step_check", "Check");
    const std::pair<Step, QString> steps[] = {
        {Step::DetectDongle, tr_("detect_dongle", "Detect Dongle")},
        {Step::DisableI2c, tr_("step_disable_iic", "Disable IIC mode")},
        {Step::DisableSpi, tr_("step_disable_spi", "Disable SPI mode")},
        {Step::SwitchOff, tr_("step_switch_off", "Switch off")},
        {Step::SwitchOn, tr_("step_switch_on", "Switch on")},
        {Step::EnableI2c, tr_("step_enable_iic", "Enable IIC mode")},
        {Step::CommandMode, tr_("Command Mode", "Command Mode")},
        {Step::Check, check},
        {Step::Confirm, tr_("confirmation", "Confirmation")},
        {Step::Write, tr_("Write", "Write")},
        {Step::Verify, tr_("Verify", "Verify")},
        {Step::Checksum, tr_("Checksum", "Checksum")},
        {Step::SwitchOffAfter, tr_("step_switch_off_after", "Switch off after re-addressing")},
        {Step::SwitchOnAfter, tr_("step_switch_on_after", "Switch on after re-addressing")},
        {Step::NewAddress, tr_("step_new_address", "Answer at the new address")},
    };
    for (const auto &[step, text] : steps)
        words.insert(failed_step_text({step}), text);
    const std::pair<Refusal, QString> refusals[] = {
        {Refusal::AddressInUse, tr_("refusal_in_use", "Address in use")},
        {Refusal::Incomplete, tr_("refusal_incomplete", "Image incomplete")},
        {Refusal::NotCalibrated, tr_("refusal_not_calibrated", "Not calibrated")},
        {Refusal::NoChangeLeft, tr_("refusal_no_change_left", "No change left")},
        {Refusal::MemoryError, tr_("status_memory_error", "Memory Error")},
        {Refusal::OtherImage, tr_("refusal_other_image", "Other image")},
        {Refusal::OtherProduct, tr_("refusal_other_product", "Other product code")},
    };
    for (const auto &[why, text] : refusals)
        words.insert(failed_step_text({Step::Check, why}), check + QStringLiteral(": ") + text);
    return words;
}

bool holds_words(int column)
{
    using namespace readdress_journal;
    return column == Outcome || column == FailedStep || column == ProcedureColumn;
}

} // namespace

Tjournal_form::Tjournal_form(const QString &folder, QWidget *parent)
    : QWidget(parent, Qt::Window), fFolder(folder), fTable(new QTableWidget(this)), fRestore(new QPushButton(this))
{
    setObjectName(QStringLiteral("Tjournal_form"));
    resize(980, 420);
    fTable->setObjectName(QStringLiteral("journal_table"));
    fTable->setColumnCount(readdress_journal::ColumnCount);
    fTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    fTable->setSelectionMode(QAbstractItemView::SingleSelection);
    fTable->verticalHeader()->hide();
    fRestore->setObjectName(QStringLiteral("journal_restore_btn"));
    fRestore->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(fRestore);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fTable);
    layout->addLayout(buttons);

    connect(fTable, &QTableWidget::itemSelectionChanged, this, &Tjournal_form::selection_changed);
    connect(fRestore, &QPushButton::clicked, this, [this] {
        const QString image = selected_image();
        if (!image.isEmpty())
            emit restore_requested(image);
    });
    translateCaptions();
}

void Tjournal_form::showEvent(QShowEvent *event)
{
    reload();
    QWidget::showEvent(event);
}

void Tjournal_form::translateCaptions()
{
    setWindowTitle(tr_("journal_title", "Re-addressing journal"));
    fRestore->setText(tr_("journal_restore", "Restore before-image…"));
    fTable->setHorizontalHeaderLabels(headers());
    // Each cell keeps the file's word; a word of another program version shows as it is.
    const QHash<QString, QString> words = shown_words();
    for (int row = 0; row < fTable->rowCount(); ++row) {
        for (int column = 0; column < fTable->columnCount(); ++column) {
            QTableWidgetItem *item = fTable->item(row, column);
            if (item && holds_words(column)) {
                const QString word = item->data(Qt::UserRole).toString();
                item->setText(words.value(word, word));
            }
        }
    }
    fTable->resizeColumnsToContents();
}

void Tjournal_form::reload()
{
    QString error;
    const QList<QStringList> lines = readdress_journal::read(fFolder, &error);
    fTable->clearContents();
    fTable->setRowCount(int(lines.size()));
    for (int row = 0; row < lines.size(); ++row) {
        for (int column = 0; column < readdress_journal::ColumnCount; ++column) {
            auto *item = new QTableWidgetItem(lines[row].value(column)); // owned by the table
            item->setData(Qt::UserRole, lines[row].value(column));
            fTable->setItem(row, column, item);
        }
    }
    translateCaptions(); // the words in the current language; the columns fit the new lines too
    fTable->setToolTip(error.isEmpty() ? QString()
                                       : tr_("journal_unreadable", "The re-addressing journal cannot be read:") +
                                             u' ' + error);
    selection_changed();
}

QString Tjournal_form::selected_image() const
{
    const QList<QTableWidgetItem *> items = fTable->selectedItems();
    if (items.isEmpty())
        return {};
    const QTableWidgetItem *image = fTable->item(items.first()->row(), readdress_journal::BeforeImage);
    return image && !image->text().isEmpty() ? QDir(fFolder).filePath(image->text()) : QString();
}

void Tjournal_form::selection_changed()
{
    fRestore->setEnabled(!selected_image().isEmpty());
}
