// The measurement table window: rows, relative time, captions, clipboard and file export.
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/utils/UniCodeFile.h"
#include "exact_readings.h"
#include "locale_guard.h"
#include "qt_printers.h"
#include "services/utils/crlf_text.h"
#include "services/utils/file_commit.h"
#include "views/windows/table_export.h"
#include "views/windows/table_view.h"
#include "temp_data_folders.h"
#include "wait_until.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A row of these raw words in a range of 0 … 10 bar.
TMeasurementStore::Reading words(int pu16, int tu16)
{
    return {std::uint16_t(pu16), std::uint16_t(tu16), 0.0f, 10.0f, 0x28};
}

class TableForm : public TempDataFolders
{
protected:
    void SetUp() override
    {
        TempDataFolders::SetUp();
        ASSERT_TRUE(QDir().mkpath(fRoot.filePath(QStringLiteral("settings"))));
        ASSERT_TRUE(QDir().mkpath(fRoot.filePath(QStringLiteral("languages"))));
        ini = std::make_unique<TIniHandler>(fRoot.filePath(QStringLiteral("settings")),
                                            fRoot.filePath(QStringLiteral("exe")));
        make_form();
    }
    void TearDown() override
    {
        form.reset();
        TTranslator::release();
        ini.reset();
        TempDataFolders::TearDown();
    }

    void make_form()
    {
        form.reset();
        form = std::make_unique<Ttable_form>(nullptr, ini.get());
        form->set_clock([this] { return now; });
        form->set_error_reporter([this](QWidget *, const QString &message) { errors.append(message); });
        form->set_file_name_asker([this](QWidget *, const QString &folder) {
            asked_folders.append(folder);
            return answer;
        });
        form->set_folder_opener([this](const QUrl &url) {
            opened.append(url);
            return open_succeeds;
        });
    }
    void advance(qint64 msecs) { now = now.addMSecs(msecs); }
    template <typename T> T *child(const char *name) const
    {
        T *widget = form->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < 7; ++c)
            cells.append(form->cell_text(r, c));
        return cells;
    }
    static QByteArray file_contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<TIniHandler> ini;
    std::unique_ptr<Ttable_form> form;
    QDateTime now{QDate(2024, 3, 5), QTime(10, 0, 0)};
    QString answer;
    QStringList asked_folders;
    QStringList errors;
    QList<QUrl> opened;
    bool open_succeeds = true;
};

const QString Header = QStringLiteral("Date\tTime\tP[u16]\tP [bar]\tT[u16]\tT [°C]");

} // namespace

TEST_F(TableForm, AfterInitOneEmptyDataRowAndTheExportEndsWithHeaderAndFiveTabs)
{
    form->add_row(words(100, 200));
    form->add_row(words(101, 201));
    form->init();
    EXPECT_EQ(form->row_count(), 2);
    EXPECT_EQ(row(1), QStringList(7, QString()));
    EXPECT_EQ(row(0), (QStringList{"", "Date", "Time", "P[u16]", "P [bar]", "T[u16]", QStringLiteral("T [°C]")}));
    const QStringList lines = form->fill_memo();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{Header, "\t\t\t\t\t"}));
}

TEST_F(TableForm, InitShowsPlaceholdersAndReadsTheDigitsFromTheSettings)
{
    using Getter = const QString &(Ttable_form::*)() const;
    using Setter = void (Ttable_form::*)(const QString &);
    struct {
        Setter set;
        Getter get;
        const char *label;
        const char *placeholder;
    } cases[] = {{&Ttable_form::Set_scaling, &Ttable_form::Get_scaling, "scaling", "-----"},
                 {&Ttable_form::Set_calib_date, &Ttable_form::Get_calib_date, "calib_date", "-----"},
                 {&Ttable_form::Set_unique_code, &Ttable_form::Get_unique_code, "unique_id", "-----"},
                 {&Ttable_form::Set_dev_status, &Ttable_form::Get_dev_status, "dev_status", "-----"},
                 {&Ttable_form::Set_slave_addr, &Ttable_form::Get_slave_addr, "slave_addr", "-----"},
                 {&Ttable_form::Set_addr_left, &Ttable_form::Get_addr_left, "number_re_addr", "------"}};
    for (const auto &c : cases) {
        (form.get()->*c.set)(QStringLiteral("value of ") + QString::fromLatin1(c.label));
        EXPECT_EQ((form.get()->*c.get)(), QStringLiteral("value of ") + QString::fromLatin1(c.label));
        EXPECT_EQ(child<QLabel>(c.label)->text(), QStringLiteral("value of ") + QString::fromLatin1(c.label));
    }
    ini->Set_pressure_digits(4);
    ini->Set_temperature_digits(1);
    form->init();
    for (const auto &c : cases) {
        EXPECT_EQ((form.get()->*c.get)(), QString::fromLatin1(c.placeholder)) << c.label;
        EXPECT_EQ(child<QLabel>(c.label)->text(), QString::fromLatin1(c.placeholder)) << c.label;
    }
    EXPECT_EQ(form->Get_pressure_digits(), 4);
    EXPECT_EQ(form->Get_temperature_digits(), 1);
}

TEST_F(TableForm, FirstRowAfterInitShowsARelativeTimeOfZero)
{
    form->set_clock([] { return QDateTime::currentDateTime(); }); // the real clock
    form->init();
    form->add_row(exact_readings::reading(5.0, 23.0));
    const QString time = form->cell_text(1, 2);
    ASSERT_TRUE(time.startsWith(QStringLiteral("00:00:00."))) << time.toStdString();
    EXPECT_LT(time.mid(9).toInt(), 500) << time.toStdString();
    EXPECT_EQ(form->cell_text(1, 0), QStringLiteral("1"));
    EXPECT_EQ(form->cell_text(1, 1), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
}

TEST_F(TableForm, UntickingRelativeTimeChangesOnlyTheFollowingRows)
{
    form->init();
    advance(1500); // the first row, not init, is the origin
    form->add_row(words(1, 1));
    advance(2250);
    form->add_row(words(2, 2));
    child<QCheckBox>("time_axis_check")->setChecked(false);
    advance(1000);
    form->add_row(words(3, 3));
    EXPECT_EQ(form->cell_text(1, 2), QStringLiteral("00:00:00.000"));
    EXPECT_EQ(form->cell_text(2, 2), QStringLiteral("00:00:02.250"));
    EXPECT_EQ(form->cell_text(3, 2), QStringLiteral("10:00:04.750"));
    child<QCheckBox>("time_axis_check")->setChecked(true);
    advance(250);
    form->add_row(words(4, 4));
    EXPECT_EQ(form->cell_text(4, 2), QStringLiteral("00:00:03.500"));
    EXPECT_EQ(form->cell_text(3, 2), QStringLiteral("10:00:04.750"));
}

TEST_F(TableForm, PressureAndTemperatureDigits)
{
    struct {
        QLocale locale;
        int pdigits;
        int tdigits;
        const char *pressure;
        const char *temperature;
    } cases[] = {{LocaleGuard::pointLocale(), 3, 2, "1.500", "23.45"},
                 {LocaleGuard::commaLocale(), 3, 2, "1,500", "23,45"},
                 {LocaleGuard::pointLocale(), 1, 0, "1.5", "23"}};
    for (const auto &c : cases) {
        LocaleGuard locale(c.locale);
        ini->Set_pressure_digits(c.pdigits);
        ini->Set_temperature_digits(c.tdigits);
        form->init();
        form->add_row(exact_readings::reading(1.5, 23.45));
        EXPECT_EQ(form->cell_text(1, 4), QString::fromLatin1(c.pressure)) << c.pdigits;
        EXPECT_EQ(form->cell_text(1, 6), QString::fromLatin1(c.temperature)) << c.tdigits;
        // 16384 + 1.5 * 1024 in the range of 0 … 32 bar; (1469 + 24) * 16 for 23.45 °C.
        EXPECT_EQ(form->cell_text(1, 3), QStringLiteral("17920"));
        EXPECT_EQ(form->cell_text(1, 5), QStringLiteral("23888"));
    }
    // Set directly by the main window, they hold until the next init.
    LocaleGuard locale(LocaleGuard::pointLocale());
    form->Set_pressure_digits(5);
    form->add_row(exact_readings::reading(1.5, 23.45));
    EXPECT_EQ(form->cell_text(2, 4), QStringLiteral("1.50000"));
}

TEST_F(TableForm, EmptyDescriptionStillGivesItsCaptionAndATab)
{
    const QStringList empty = form->fill_memo();
    ASSERT_FALSE(empty.isEmpty());
    EXPECT_EQ(empty.first(), QStringLiteral("Description\t"));
    child<QPlainTextEdit>("description")->setPlainText(QStringLiteral("Leak test\nbench 2"));
    child<QLineEdit>("initial_ed")->setText(QStringLiteral("JD"));
    EXPECT_EQ(form->fill_memo().mid(0, 4),
              (QStringList{"Description\tLeak test", "\tbench 2", "\t", "Initial\tJD"}));
}

TEST_F(TableForm, SavedFileIsTheExportByteForByteAndItsFolderIsStored)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    form->Set_scaling(QStringLiteral("0.000...10.000 PA"));
    form->Set_calib_date(QStringLiteral("07.04.2019"));
    form->Set_unique_code(QStringLiteral("F01234E07P0056"));
    form->Set_dev_status(QStringLiteral("Normal Mode"));
    form->Set_slave_addr(QStringLiteral("0x28"));
    form->Set_addr_left(QStringLiteral("3"));
    child<QPlainTextEdit>("description")->setPlainText(QStringLiteral("Leak test\nbench 2"));
    child<QLineEdit>("initial_ed")->setText(QStringLiteral("JD"));
    form->add_row(exact_readings::reading(4.99, 23.456));
    advance(1250);
    form->add_row(exact_readings::reading(5.125, 23.5));

    const QString folder = fRoot.filePath(QStringLiteral("export"));
    ASSERT_TRUE(QDir().mkpath(folder));
    answer = folder + QStringLiteral("/run1.txt");
    {
        QFile old(answer); // a longer file is replaced, not overwritten in part
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4000, 'x'));
    }
    const QString exportDirBefore = ini->Get_ExportDir();
    form->save_to_file();

    const QByteArray expected = "Description\tLeak test\r\n"
                                "\tbench 2\r\n"
                                "\t\r\n"
                                "Initial\tJD\r\n"
                                "\t\r\n"
                                "\t\r\n"
                                "Scaling\t0.000...10.000 PA\r\n"
                                "Date of Calibration\t07.04.2019\r\n"
                                "Unique ID\tF01234E07P0056\r\n"
                                "Device Status\tNormal Mode\r\n"
                                "Slave Address\t0x28\r\n"
                                "Number of Re-Addressing left\t3\r\n"
                                "\t\r\n"
                                "Date\tTime\tP[u16]\tP [bar]\tT[u16]\tT [\xC2\xB0" "C]\r\n"
                                "05.03.2024\t00:00:00.000\t21494\t4.990\t23888\t23.45\r\n"
                                "05.03.2024\t00:00:01.250\t21632\t5.125\t23904\t23.50\r\n";
    EXPECT_EQ(file_contents(answer), expected);
    EXPECT_EQ(asked_folders, QStringList{exportDirBefore});
    EXPECT_EQ(QDir(ini->Get_ExportDir()), QDir(folder));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();

    // The copy is the same text.
    form->copy_to_clipbrd();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toUtf8(), expected);
}

TEST_F(TableForm, CancelledSaveWritesNothing)
{
    form->add_row(words(1, 1));
    const QString exportDir = ini->Get_ExportDir();
    answer.clear();
    child<QPushButton>("save_btn")->click();
    EXPECT_EQ(asked_folders, QStringList{exportDir});
    EXPECT_TRUE(QDir(exportDir).isEmpty());
    EXPECT_EQ(ini->Get_ExportDir(), exportDir);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TableForm, FailedWriteIsReportedAndTheRowsStay)
{
    ASSERT_TRUE(QDir().mkpath(fRoot.filePath(QStringLiteral("taken/run.txt"))));
    const QString targets[] = {fRoot.filePath(QStringLiteral("missing/folder/run.txt")),
                               fRoot.filePath(QStringLiteral("taken/run.txt")), QStringLiteral("/proc/out.txt")};
    const QString stored = fRoot.filePath(QStringLiteral("last good"));
    ini->Set_ExportDir(stored);
    form->add_row(exact_readings::reading(4.99, 23.456));
    form->add_row(exact_readings::reading(5.125, 23.5));
    const QStringList rowBefore = row(2);
    for (const QString &target : targets) {
        SCOPED_TRACE(target.toStdString());
        errors.clear();
        answer = target;
        form->save_to_file();
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().contains(QDir::toNativeSeparators(answer))) << errors.first().toStdString();
        EXPECT_EQ(form->row_count(), 3);
        EXPECT_EQ(row(2), rowBefore);
        // Only a folder that took the table is offered again.
        EXPECT_EQ(ini->Get_ExportDir(), stored);
    }
    EXPECT_FALSE(QFileInfo::exists(fRoot.filePath(QStringLiteral("missing"))));
}

TEST_F(TableForm, VirtualFileSystemFoldersAreNeverStoredNorOffered)
{
    struct Case {
        const char *folder;
        bool isVirtual;
    };
    const Case cases[] = {{"/proc", true},    {"/proc/self", true}, {"/sys/class", true}, {"/dev", true},
                          {"/dev/shm", true}, {"/device", false},   {"/home/proc", false},
                          {"/", false}};
    for (const Case &c : cases)
        EXPECT_EQ(table_export::virtual_folder(QString::fromLatin1(c.folder)), c.isVirtual) << c.folder;

    // A folder stored before is not offered either: the dialog starts in the home folder.
    ini->Set_ExportDir(QStringLiteral("/proc"));
    answer.clear();
    form->save_to_file();
    EXPECT_EQ(asked_folders, QStringList{QDir::homePath()});

    // A save that works in such a folder still keeps the stored folder.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
        const QString stored = fRoot.filePath(QStringLiteral("last good"));
        ini->Set_ExportDir(stored);
        QTemporaryDir shm(QStringLiteral("/dev/shm/zorbit-XXXXXX"));
        ASSERT_TRUE(shm.isValid());
        answer = shm.filePath(QStringLiteral("run.txt"));
        form->save_to_file();
        EXPECT_TRUE(errors.isEmpty());
        EXPECT_TRUE(QFileInfo::exists(answer));
        EXPECT_EQ(ini->Get_ExportDir(), stored);
    }
}

TEST_F(TableForm, SaveCutShortKeepsTheOlderFileWholeAndTheRows)
{
    // As on a full disk: the write stops half way.
    answer = fRoot.filePath(QStringLiteral("run.txt"));
    const QByteArray older(15000, 'o');
    {
        QFile f(answer);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(older);
    }
    file_commit::set_fault([this](const QString &file) { return QFileInfo(file).absolutePath() == fRoot.path(); });
    form->add_row(exact_readings::reading(4.99, 23.456));
    form->save_to_file();
    file_commit::set_fault(nullptr);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("No space left on device"))) << errors.first().toStdString();
    QFile f(answer);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), older);
    EXPECT_EQ(QDir(fRoot.path()).entryList(QDir::Files), QStringList{QStringLiteral("run.txt")}) << "no leftovers";
    EXPECT_EQ(form->row_count(), 2);

    form->save_to_file();
    EXPECT_EQ(errors.size(), 1) << "a later save goes through";
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("Description"));
}

TEST_F(TableForm, FolderButtonOpensTheExportFolder)
{
    const QString exportDir = fRoot.filePath(QStringLiteral("measurements"));
    ASSERT_TRUE(QDir().mkpath(exportDir));
    ini->Set_ExportDir(exportDir);
    child<QToolButton>("SpeedButton1")->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), QUrl::fromLocalFile(exportDir));
    EXPECT_TRUE(errors.isEmpty());

    open_succeeds = false;
    child<QToolButton>("SpeedButton1")->click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QDir::toNativeSeparators(exportDir)));
}

TEST_F(TableForm, CopyButtonPutsTheExportOnTheClipboard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    child<QPushButton>("copy_btn")->click();
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Description\t\r\n\t\r\nInitial\t\r\n"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(Header + QStringLiteral("\r\n\t\t\t\t\t\r\n"))) << text.toStdString();
}

TEST_F(TableForm, CaptionsAreTranslatedWhenShown)
{
    TUnicodeFile::writeLines(fRoot.filePath(QStringLiteral("languages/deutsch.lang")),
                             {"languageName=Deutsch", "table=Tabelle", "descr_title=Beschreibung", "date=Datum",
                              "time=Zeit", "initial_title=Kürzel", "copy=Kopieren", "time_axis=Relative Zeitachse"},
                             UTF16LE);
    make_form();
    TTranslator *translator = TTranslator::getInstance();
    translator->setPath(fRoot.filePath(QStringLiteral("languages")));
    translator->Set_Language(QStringLiteral("deutsch.lang"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Table")) << "made before the language was loaded";
    form->show();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tabelle"));
    EXPECT_EQ(child<QPushButton>("copy_btn")->text(), QStringLiteral("Kopieren"));
    EXPECT_EQ(child<QCheckBox>("time_axis_check")->text(), QStringLiteral("Relative Zeitachse"));
    EXPECT_EQ(child<QPushButton>("save_btn")->text(), QStringLiteral("Save")); // no key in the file
    const QStringList lines = form->fill_memo();
    EXPECT_EQ(lines.value(0), QStringLiteral("Beschreibung\t"));
    EXPECT_EQ(lines.value(2), QStringLiteral("Kürzel\t"));
    EXPECT_EQ(lines.value(lines.size() - 2), QStringLiteral("Datum\tZeit\tP[u16]\tP [bar]\tT[u16]\tT [°C]"));
}

TEST_F(TableForm, GridColumnsAndHidingTheTimeAxisCheck)
{
    const int widths[] = {64, 88, 88, 64, 64, 64, 64};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(form->column_width(c), widths[c]) << c;
    form->show();
    auto *check = child<QCheckBox>("time_axis_check");
    EXPECT_TRUE(check->isChecked());
    form->Set_time_axis_enabled(false);
    EXPECT_FALSE(check->isVisible());
    EXPECT_TRUE(check->isChecked());
    form->Set_time_axis_enabled(true);
    EXPECT_TRUE(check->isVisible());
}

TEST_F(TableForm, GridFollowsTheNewestRowOnceItIsFull)
{
    form->show();
    auto *grid = child<QTableView>("Grid");
    const int fitting = form->visible_rows();
    ASSERT_GT(fitting, 3);
    for (int r = 1; r < fitting; ++r)
        form->add_row(words(r, r));
    form->update_view();
    EXPECT_EQ(form->first_visible_row(), 1);
    for (int r = fitting; r <= 3 * fitting; ++r) {
        form->add_row(words(r, r));
        form->update_view();
        const QRect newest = grid->visualRect(grid->model()->index(r - 1, 0));
        ASSERT_TRUE(grid->viewport()->rect().contains(newest)) << "row " << r;
        EXPECT_EQ(grid->selectionModel()->selectedRows().value(0).row(), r - 1);
    }
    EXPECT_GT(form->first_visible_row(), 2 * fitting - 4);
}

TEST_F(TableForm, RowsComingFastReachTheGridAtTheScreensPace)
{
    form->show();
    auto *grid = child<QTableView>("Grid");
    for (int r = 1; r <= 500; ++r)
        form->add_row(words(r, r));
    EXPECT_EQ(form->row_count(), 501) << "stored at once";
    EXPECT_EQ(form->cell_text(500, 3), QStringLiteral("500"));
    wait_until::pumping([grid] { return grid->model()->rowCount() == 500; }, 1000);
    ASSERT_EQ(grid->model()->rowCount(), 500);
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(499, 0))));
    EXPECT_EQ(grid->selectionModel()->selectedRows().value(0).row(), 499);
}

TEST_F(TableForm, TallerWindowFitsMoreRows)
{
    const int before = form->visible_rows();
    form->resize(form->width(), form->height() + 200);
    form->show();
    EXPECT_GT(form->visible_rows(), before + 5);
}

TEST_F(TableForm, ClosingOnlyHidesAndKeepsTheRows)
{
    form->show();
    form->add_row(words(7, 8));
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->cell_text(1, 3), QStringLiteral("7"));
    form->show();
    EXPECT_EQ(form->row_count(), 2);
}

TEST_F(TableForm, RowsAddedWhileHiddenShowTheNewestWhenShown)
{
    for (int r = 1; r <= 60; ++r)
        form->add_row(words(r, r));
    form->show();
    auto *grid = child<QTableView>("Grid");
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(59, 0))));
}

TEST_F(TableForm, OpensCentredOverTheMainWindow)
{
    QWidget main;
    main.setGeometry(100, 80, 1200, 900);
    main.show();
    Ttable_form owned(&main, ini.get());
    owned.show();
    EXPECT_TRUE(owned.isWindow());
    EXPECT_LE((owned.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2)
        << owned.frameGeometry().x() << "," << owned.frameGeometry().y();
}

// A table of several export chunks is saved and copied in pieces, with the same bytes as the
// whole text made at once, and the progress is told of every piece.
TEST_F(TableForm, LargeTableIsStreamedWithProgress)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    QList<qint64> seen;
    form->set_export_progress([&seen](qint64 done, qint64 total) {
        EXPECT_EQ(total, 10000);
        seen.append(done);
        return true;
    });
    for (int r = 0; r < 10000; ++r) {
        form->add_row(words(r, 65535 - r));
        advance(25);
    }
    answer = fRoot.filePath(QStringLiteral("big.txt"));
    form->save_to_file();
    EXPECT_TRUE(errors.isEmpty());
    const QStringList whole = form->fill_memo();
    EXPECT_EQ(file_contents(answer), table_export::file_bytes(whole));
    EXPECT_EQ(seen, (QList<qint64>{0, 4096, 8192, 10000}));
    form->copy_to_clipbrd();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), crlf_text(whole));
}

TEST_F(TableForm, CancelledExportLeavesTheOlderFileAsItWasAndTheClipboardAlone)
{
    answer = fRoot.filePath(QStringLiteral("run.txt"));
    const QByteArray older("older\r\n");
    {
        QFile f(answer);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(older);
    }
    for (int r = 0; r < 9000; ++r)
        form->add_row(words(r, r));
    // Cancelled after the first chunk of rows went out.
    form->set_export_progress([](qint64 done, qint64) { return done == 0; });
    form->save_to_file();
    EXPECT_TRUE(errors.isEmpty()) << "a cancel is no failure";
    EXPECT_EQ(file_contents(answer), older);
    EXPECT_EQ(QDir(fRoot.path()).entryList(QDir::Files), QStringList{QStringLiteral("run.txt")}) << "no leftovers";
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    form->copy_to_clipbrd();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(form->row_count(), 9001) << "the rows stay";
}
