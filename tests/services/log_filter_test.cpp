#include "services/log/log_filter.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

const QString Stamp = QStringLiteral("31.07.2018 14:05:09");

QString line(const char *category, const char *level, const char *message = "message", const QString &stamp = Stamp)
{
    return stamp + u'\t' + QString::fromLatin1(category) + u'\t' + QString::fromLatin1(level) + u'\t' +
           QString::fromLatin1(message);
}

TLogFilter allBut(bool TLogFilter::*item)
{
    TLogFilter filter;
    filter.*item = false;
    return filter;
}

struct VisibleCase {
    const char *name;
    QString line;
    TLogFilter filter;
    bool visible;
};

TEST(LogLineFilter, LinesShownWithTheMenuStates)
{
    const TLogFilter all;
    const VisibleCase cases[] = {
        // Every item checked, as the hidden menus leave them.
        {"header line", line("-", "-"), all, true},
        {"empty header line", line("-", "-", ""), all, true},
        {"header line of another stamp length", line("-", "-", "m", QStringLiteral("7/31/2018 2:05:09 PM")), all,
         false},
        {"header line with a short stamp", line("-", "-", "m", QStringLiteral("31.07.18 14:05:09")), all, false},
        {"communication normal", line("Communication", "-"), all, true},
        {"communication error", line("Communication", "Error"), all, true},
        {"communication debug", line("Communication", "Debug"), all, true},
        {"core", line("Core", "Error"), all, true},
        {"database", line("DB", "-"), all, true},
        {"viewer", line("Viewer", "Debug"), all, true},
        {"converter", line("Converter", "Error"), all, true},
        {"translator: no item names it", line("Translator", "Debug"), all, false},
        {"translator normal", line("Translator", "-"), all, false},
        {"no fields at all", QStringLiteral("plain text"), all, false},
        {"empty line", QString(), all, false},
        // One item unchecked.
        {"Standart off hides header lines", line("-", "-"), allBut(&TLogFilter::standart), false},
        {"Core off", line("Core", "-"), allBut(&TLogFilter::core), false},
        {"Database off", line("DB", "Error"), allBut(&TLogFilter::database), false},
        {"Communication off", line("Communication", "Error"), allBut(&TLogFilter::communication), false},
        {"Viewer off", line("Viewer", "-"), allBut(&TLogFilter::viewer), false},
        {"Converter off", line("Converter", "Debug"), allBut(&TLogFilter::converter), false},
        {"Normal off hides level -", line("Communication", "-"), allBut(&TLogFilter::normal), false},
        {"Normal off hides a normal header line", line("-", "-"), allBut(&TLogFilter::normal), false},
        {"Normal off keeps errors", line("Communication", "Error"), allBut(&TLogFilter::normal), true},
        {"Error off", line("Converter", "Error"), allBut(&TLogFilter::error), false},
        {"Error off keeps normal lines", line("Converter", "-"), allBut(&TLogFilter::error), true},
        {"Debug off", line("Core", "Debug"), allBut(&TLogFilter::debug), false},
        {"Debug off keeps errors", line("Core", "Error"), allBut(&TLogFilter::debug), true},
        {"Standart off leaves other categories", line("Core", "-"), allBut(&TLogFilter::standart), true},
        // The texts are searched anywhere in the line, in the order Core, DB, Communication, Viewer,
        // Converter; the last one found decides.
        {"message naming a later category", line("Communication", "-", "see\tConverter\tnote"),
         allBut(&TLogFilter::converter), false},
        {"message naming an earlier category", line("Communication", "-", "see\tCore\tnote"),
         allBut(&TLogFilter::core), true},
        {"header error line", line("-", "Error"), all, true},
        {"header error line, Error off", line("-", "Error"), allBut(&TLogFilter::error), false},
    };
    for (const VisibleCase &c : cases)
        EXPECT_EQ(log_filter::lineVisible(c.line, c.filter), c.visible) << c.name << ": " << c.line.toStdString();
}

struct FileCase {
    const char *name;
    QStringList file;
    QStringList pending;
    qsizetype written;
};

TEST(LogLineFilter, HandedOverLinesTheFileAlreadyHolds)
{
    const FileCase cases[] = {
        {"no file", {}, {"a", "b"}, 0},
        {"nothing pending", {"x", "y"}, {}, 0},
        {"none written yet", {"x", "y"}, {"a", "b"}, 0},
        {"all written", {"x", "a", "b"}, {"a", "b"}, 2},
        {"first written, second held back", {"x", "a"}, {"a", "b"}, 1},
        {"written ones after a roll-over", {"b"}, {"a", "b", "c"}, 2},
        {"a held-back line repeats the last written one", {"x", "a"}, {"a", "b", "a"}, 1},
        {"same text earlier in the file only", {"a", "x"}, {"a", "b"}, 0},
    };
    for (const FileCase &c : cases)
        EXPECT_EQ(log_filter::alreadyInFile(c.file, c.pending), c.written) << c.name;
}

} // namespace
