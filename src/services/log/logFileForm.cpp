#include "services/log/logFileForm.h"

#include "services/settings/window_text.h"
#include "services/utils/ZUtils.h"
#include "services/log/logFile.h"
#include "services/dialogs/msgDialogForm.h"
#include "ui_logFileForm.h"

#include <QCloseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {

constexpr int ResultYes = 6;

} // namespace

TlogForm::TlogForm(TLogFile &log, QWidget *parent)
    : TSaveForm(parent, Qt::Window), ui(std::make_unique<Ui::TlogForm>()), fLogFile(log)
{
    ui->setupUi(this);
    // Left open, it must not keep the program running once the main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    ui->log_layout->setMenuBar(ui->TMainMenu1);
    // The designed client area lies below the menu; the stored place, if any, follows when shown.
    resize(width(), height() + ui->TMainMenu1->sizeHint().height());
    move(88, 605);
    // The filter stays as designed: every item checked, out of the user's reach.
    ui->Category1->menuAction()->setVisible(false);
    ui->Type1->menuAction()->setVisible(false);
    ui->log_memo->clear();

    connect(ui->Clear1, &QAction::triggered, this, &TlogForm::Clear1Click);
    connect(ui->Close1, &QAction::triggered, this, &TlogForm::Close1Click);
    for (QAction *item : {ui->Standart1, ui->Core1, ui->Database1, ui->communication1, ui->Viewer1, ui->Converter1,
                          ui->Normal1, ui->Error1, ui->Debug1})
        connect(item, &QAction::triggered, this, &TlogForm::filter);
    translateCaptions();
}

TlogForm::~TlogForm() = default;

void TlogForm::translateCaptions()
{
    using window_text::tr_;
    setWindowTitle(tr_("log_title", "Log"));
    ui->File1->setTitle(tr_("file", "File"));
    ui->Close1->setText(tr_("close", "Close"));
    ui->Clear1->setText(tr_("clear", "Clear"));
    ui->Category1->setTitle(tr_("category", "Category"));
    ui->Type1->setTitle(tr_("type", "Type"));
    ui->Filter1->setTitle(tr_("filter", "Filter"));
    ui->Normal1->setText(tr_("normal", "Normal"));
    ui->Error1->setText(tr_("error", "Error"));
    ui->Debug1->setText(tr_("debug", "Debug"));
    ui->Standart1->setText(tr_("standart", "Standart"));
    ui->Core1->setText(tr_("core", "Core"));
    ui->Database1->setText(tr_("database", "Database"));
    ui->communication1->setText(tr_("communication", "Communication"));
    ui->Viewer1->setText(tr_("viewer", "Viewer"));
    ui->Converter1->setText(tr_("converter", "Converter"));
}

TLogFilter TlogForm::currentFilter() const
{
    TLogFilter filter;
    filter.standart = ui->Standart1->isChecked();
    filter.core = ui->Core1->isChecked();
    filter.database = ui->Database1->isChecked();
    filter.communication = ui->communication1->isChecked();
    filter.viewer = ui->Viewer1->isChecked();
    filter.converter = ui->Converter1->isChecked();
    filter.normal = ui->Normal1->isChecked();
    filter.error = ui->Error1->isChecked();
    filter.debug = ui->Debug1->isChecked();
    return filter;
}

void TlogForm::addLog(const QString &str, bool useFilter)
{
    std::lock_guard<std::mutex> lock(fCritNewLines);
    newLines.append({str, useFilter});
}

void TlogForm::initLog(const QStringList &str)
{
    std::lock_guard<std::mutex> lock(fCritNewLines);
    // Lines the writer has not written yet are not in `str`; they stay for the next updateGui.
    QStringList pending;
    pending.reserve(newLines.size());
    for (const PendingLine &line : newLines)
        pending.append(line.text);
    newLines.remove(0, log_filter::alreadyInFile(str, pending));
    fLog = str;
    fLoaded = str;
}

void TlogForm::takeLoadedContent()
{
    std::optional<QStringList> loaded;
    {
        std::lock_guard<std::mutex> lock(fCritNewLines);
        loaded.swap(fLoaded);
    }
    if (!loaded)
        return;
    ui->log_memo->setUpdatesEnabled(false);
    ui->log_memo->clear();
    appendToBox(*loaded);
    ui->log_memo->setUpdatesEnabled(true);
}

void TlogForm::appendToBox(const QStringList &lines)
{
    if (!lines.isEmpty())
        ui->log_memo->appendPlainText(lines.join(u'\n'));
}

void TlogForm::caretToEnd()
{
    ui->log_memo->moveCursor(QTextCursor::End);
    ui->log_memo->ensureCursorVisible();
}

void TlogForm::updateGui()
{
    takeLoadedContent();
    QList<PendingLine> batch;
    {
        std::lock_guard<std::mutex> lock(fCritNewLines);
        batch.swap(newLines);
        for (const PendingLine &line : batch)
            fLog.append(line.text);
    }
    const TLogFilter filter = currentFilter();
    QStringList shown;
    for (const PendingLine &line : batch)
        if (!line.useFilter || log_filter::lineVisible(line.text, filter))
            shown.append(line.text);
    // One repaint for the whole batch.
    ui->log_memo->setUpdatesEnabled(false);
    appendToBox(shown);
    caretToEnd();
    ui->log_memo->setUpdatesEnabled(true);
}

void TlogForm::newFile()
{
    clear();
    ui->log_memo->appendPlainText(QString::fromLatin1(NewFileLine));
}

void TlogForm::clear()
{
    {
        std::lock_guard<std::mutex> lock(fCritNewLines);
        fLog.clear();
        fLoaded.reset();
    }
    ui->log_memo->clear();
}

void TlogForm::showLastLine()
{
    takeLoadedContent();
    caretToEnd();
}

void TlogForm::showForm()
{
    show();
    raise();
    activateWindow();
}

void TlogForm::hideForm()
{
    hide();
}

void TlogForm::filter()
{
    const QStringList all = lines();
    const TLogFilter filter = currentFilter();
    QStringList shown;
    for (const QString &line : all)
        if (log_filter::lineVisible(line, filter))
            shown.append(line);
    ui->log_memo->setUpdatesEnabled(false);
    ui->log_memo->clear();
    appendToBox(shown);
    caretToEnd();
    ui->log_memo->setUpdatesEnabled(true);
}

void TlogForm::Clear1Click()
{
    const QString question = window_text::tr_("areYouSureToDeleteTheLogfile", "Are you sure to delete the logfile?");
    if (TmsgDialog::createDialog(question, mtConfirmation, {mbYes, mbNo}) != ResultYes)
        return;
    ui->log_memo->clear();
    try {
        fLogFile.deleteLogfile();
    } catch (const EInOutError &e) {
        TmsgDialog::createDialog(QString::fromLocal8Bit(e.what()), mtError, {mbOk});
    }
}

void TlogForm::Close1Click()
{
    close();
}

void TlogForm::closeEvent(QCloseEvent *event)
{
    // Hidden, not released; the next opening reads the file again.
    fLogFile.Set_data_geladen(false);
    event->accept();
    TSaveForm::closeEvent(event);
}

QStringList TlogForm::lines() const
{
    std::lock_guard<std::mutex> lock(fCritNewLines);
    return fLog;
}

QStringList TlogForm::shownLines() const
{
    QStringList result;
    for (QTextBlock block = ui->log_memo->document()->begin(); block.isValid(); block = block.next())
        result.append(block.text());
    if (result.size() == 1 && result.first().isEmpty())
        result.clear();
    return result;
}
