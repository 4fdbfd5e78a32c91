#include "views/windows/journal_form.h"

#include "services/settings/window_text.h"
#include "transmitter/readdress_journal.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

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
    fTable->resizeColumnsToContents();
}

void Tjournal_form::reload()
{
    QString error;
    const QList<QStringList> lines = readdress_journal::read(fFolder, &error);
    fTable->clearContents();
    fTable->setRowCount(int(lines.size()));
    for (int row = 0; row < lines.size(); ++row)
        for (int column = 0; column < readdress_journal::ColumnCount; ++column)
            fTable->setItem(row, column, new QTableWidgetItem(lines[row].value(column)));
    translateCaptions(); // the columns fit the new lines too
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
