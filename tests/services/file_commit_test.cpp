// The program's writers under the file faults a user or the system can produce: none ends the
// program, none spoils what the file held, each failure is told once.
#include "services/settings/IniHandler.h"
#include "services/utils/file_commit.h"
#include "file_faults.h"
#include "services/log/logFile.h"
#include "services/log/log_writer.h"
#include "views/windows/table_export.h"
#include "temp_data_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <thread>

using file_faults::Fault;
using file_faults::Findings;

namespace {

QByteArray snapshot(const QString &path)
{
    if (QFileInfo(path).isDir())
        return QByteArrayLiteral("<directory>");
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArrayLiteral("<none>");
}

void layDown(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// One writer of the program: where it writes and what a session does with it.
struct Writer {
    const char *name;
    const char *fileName;
    bool faultBeforeStart; // the file is faulty when the program starts
    QByteArray old;
    // Builds what the writer needs; the settings writers need the user's data folders too.
    std::function<void(const QString &folder)> start;
    std::function<void()> write;
    // Failures the writer told of so far.
    std::function<int()> reports;
    // Whether the program still holds what it wrote; empty when that does not apply.
    std::function<QString()> memory;
    std::function<void()> finish;
};

struct Session {
    std::unique_ptr<TIniHandler> ini;
    int reported = 0;
    std::shared_ptr<TLogWriter> log;
    std::thread logThread;
    QString tableFile;
};

void startSettings(Session &s, const QString &folder)
{
    s.ini = std::make_unique<TIniHandler>(folder, folder + QStringLiteral("/no-program-here"));
    s.ini->setWriteFailureReporter([&s](const QString &, const QString &) { ++s.reported; });
}

std::vector<Writer> writers(Session &s)
{
    const QByteArray settings = "; the user's own\n[GUI]\nstyle=5\n[viewer]\np_digits=4\n";
    const auto settingsReports = [&s] { return s.reported; };
    std::vector<Writer> list;
    list.push_back({"settings at start-up", "Orvel_IIC_Addr.ini", true, settings,
                    [&s](const QString &folder) { startSettings(s, folder); },
                    [&s] { s.ini->Set_LogCommunicationMode(2); }, settingsReports,
                    [&s] { return QString::number(s.ini->Get_LogCommunicationMode()); }, [] {}});
    list.push_back({"settings at close", "Orvel_IIC_Addr.ini", false, settings,
                    [&s](const QString &folder) { startSettings(s, folder); },
                    [&s] {
                        s.ini->writeGeometry(QStringLiteral("Tmain_Form"), {10, 20, 997, 727, 0});
                        s.ini->Set_l_decimals(4);
                        s.ini->Set_LogCommunicationMode(2);
                    },
                    settingsReports,
                    [&s] {
                        return QStringLiteral("%1 %2").arg(s.ini->readGeometry(QStringLiteral("Tmain_Form")).left)
                            .arg(s.ini->Get_l_decimals());
                    },
                    [] {}});
    list.push_back({"window geometry", "Orvel_IIC_Addr.ini", false, settings,
                    [&s](const QString &folder) { startSettings(s, folder); },
                    [&s] { s.ini->writeGeometry(QStringLiteral("TlogForm"), {5, 6, 700, 500, 0}); }, settingsReports,
                    [&s] { return QString::number(s.ini->readGeometry(QStringLiteral("TlogForm")).width); }, [] {}});
    list.push_back({"export folder", "Orvel_IIC_Addr.ini", false, settings,
                    [&s](const QString &folder) { startSettings(s, folder); },
                    [&s] { s.ini->Set_ExportDir(QStringLiteral("/measurements")); }, settingsReports,
                    [&s] { return s.ini->Get_ExportDir(); }, [] {}});
    list.push_back({"table save", "table.txt", false, QByteArray(15000, 't'),
                    [&s](const QString &folder) { s.tableFile = QDir(folder).filePath(QStringLiteral("table.txt")); },
                    [&s] {
                        const QStringList lines = {QStringLiteral("Description\t"), QStringLiteral("Date\tTime")};
                        if (!file_commit::replace(s.tableFile, table_export::file_bytes(lines)).isEmpty())
                            ++s.reported;
                    },
                    settingsReports, nullptr, [] {}});
    // Whole pages of older lines: on a full disk not even the end of the last page is free.
    list.push_back({"log line", "log.txt", false, QByteArray("an older line.\r\n").repeated(256),
                    [&s](const QString &folder) {
                        s.log = std::make_shared<TLogWriter>(folder, 1000000, [] { return TLocalTime{}; });
                        s.log->setErrorLine([&s](const QString &message) {
                            ++s.reported;
                            return QStringLiteral("notice: ") + message;
                        });
                        s.logThread = std::thread([log = s.log] { log->run(); });
                    },
                    [&s] {
                        s.log->queue(QStringLiteral("a line of measurements that is long enough to be cut in two"));
                        // One pass writes it; the writer is idle once nothing is queued any more.
                        for (int i = 0; i < 200 && !s.log->queued().isEmpty(); ++i)
                            std::this_thread::sleep_for(std::chrono::milliseconds(5));
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    },
                    settingsReports, nullptr,
                    [&s] {
                        if (s.log && s.log->stop(std::chrono::seconds(5)))
                            s.logThread.join();
                    }});
    return list;
}

constexpr Fault Faults[] = {Fault::ReadOnlyFile,     Fault::ReadOnlyFolder,       Fault::DirectoryInPlace,
                            Fault::FullFileSystem,   Fault::InjectedWriteFailure, Fault::ReadOnlyMidSession};
constexpr int WriterCount = 6;

struct Cell {
    int writer;
    Fault fault;
};

std::string cellName(const ::testing::TestParamInfo<Cell> &info)
{
    Session s;
    std::string name = std::string(writers(s)[size_t(info.param.writer)].name) + "_" + file_faults::name(info.param.fault);
    for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

std::vector<Cell> cells()
{
    std::vector<Cell> all;
    for (int w = 0; w < WriterCount; ++w)
        for (Fault f : Faults)
            if (!(w == 0 && f == Fault::ReadOnlyMidSession)) // nothing is written before the start
                all.push_back({w, f});
    return all;
}

class FileFaults : public TempDataFolders, public ::testing::WithParamInterface<Cell>
{
protected:
    void TearDown() override
    {
        file_commit::set_fault(nullptr);
        // Let the temporary tree go whatever the case left read-only.
        for (const QString &dir : {folder(), folder() + QStringLiteral("/log.txt")})
            QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        TempDataFolders::TearDown();
    }
    QString folder() const { return fRoot.filePath(QStringLiteral("files")); }
};

} // namespace

TEST_P(FileFaults, NoAbortOldContentWholeFailureToldOnce)
{
    const Cell cell = GetParam();
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QString dir = folder();
    const auto outcome = file_faults::runInChild(
        cell.fault, fRoot.path(), dir, QString::fromLatin1([&] {
            Session s;
            return writers(s)[size_t(cell.writer)].fileName;
        }()),
        [&](const std::function<void()> &strike) {
            Session s;
            const Writer w = writers(s)[size_t(cell.writer)];
            const QString path = QDir(dir).filePath(QString::fromLatin1(w.fileName));
            layDown(path, w.old);
            if (w.faultBeforeStart)
                strike();
            w.start(dir);
            Findings found;
            if (cell.fault == Fault::ReadOnlyMidSession) {
                w.write();
                found["first write reports"] = std::to_string(w.reports());
            }
            if (!w.faultBeforeStart)
                strike();
            const QByteArray before = snapshot(path);
            w.write();
            w.write();
            w.finish();
            const QByteArray after = snapshot(path);
            found["reports"] = std::to_string(w.reports());
            found["intact"] = before == after ? "yes" : "no: " + before.left(80).toStdString() + " -> " +
                                                             after.left(80).toStdString();
            found["grew"] = after.size() > before.size() && after.startsWith(before) ? "yes" : "no";
            if (w.memory)
                found["memory"] = w.memory().toStdString();
            return found;
        });
    if (outcome.skipped) {
        GTEST_SKIP() << outcome.skipReason;
    }
    ASSERT_TRUE(outcome.exitedNormally);
    const auto found = [&outcome](const char *key) { return outcome.found(key); };
    if (cell.fault == Fault::ReadOnlyMidSession) {
        EXPECT_EQ(found("first write reports"), "0") << "the file was writable then";
    }

    const bool logInReadOnlyFolder = cell.writer == 5 && cell.fault == Fault::ReadOnlyFolder;
    if (logInReadOnlyFolder) {
        // Appending needs no new file in the folder: nothing fails and the line is kept.
        EXPECT_EQ(found("reports"), "0");
        EXPECT_EQ(found("grew"), "yes");
        return;
    }
    EXPECT_EQ(found("reports"), cell.writer == 4 ? "2" : "1") << "each table save is told, other writers once";
    EXPECT_EQ(found("intact"), "yes");
    const char *const memory[] = {"2", "10 4", "700", "/measurements", "<missing>", "<missing>"};
    EXPECT_EQ(found("memory"), memory[cell.writer]) << "the program goes on with what it holds";
}

INSTANTIATE_TEST_SUITE_P(WritersAndFaults, FileFaults, ::testing::ValuesIn(cells()), cellName);
