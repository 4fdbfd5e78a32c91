#include "services/log/log_filter.h"

namespace log_filter {

namespace {

// A day.month.year stamp with hours:minutes:seconds is 19 characters; the TAB after it is the 20th.
constexpr qsizetype StampTabPosition = 20;

bool contains(const QString &line, QLatin1String field)
{
    return line.contains(field);
}

} // namespace

bool lineVisible(const QString &line, const TLogFilter &filter)
{
    // Positions count from 1, as the rule was laid down; 0 means not found.
    qsizetype p = line.indexOf(QLatin1String("\t-\t")) + 1;
    bool visible = false;
    if (p == StampTabPosition)
        visible = filter.standart;
    if (contains(line, QLatin1String("\tCore\t")))
        visible = filter.core;
    if (contains(line, QLatin1String("\tDB\t")))
        visible = filter.database;
    if (contains(line, QLatin1String("\tCommunication\t")))
        visible = filter.communication;
    if (contains(line, QLatin1String("\tViewer\t")))
        visible = filter.viewer;
    if (contains(line, QLatin1String("\tConverter\t")))
        visible = filter.converter;
    if (!visible)
        return false;

    if (p == StampTabPosition) {
        // The TAB after the category "-" opens the level field; "-" right behind it is lNormal.
        const qsizetype levelTab = p + 1; // 0-based index of that TAB
        const qsizetype found = line.indexOf(QLatin1String("\t-"), levelTab);
        p = found < 0 ? 0 : found - levelTab + 1;
    }
    if (p == 1 || p > StampTabPosition)
        visible = filter.normal;
    if (contains(line, QLatin1String("\tError\t")))
        visible = visible && filter.error;
    if (contains(line, QLatin1String("\tDebug\t")))
        visible = visible && filter.debug;
    return visible;
}

qsizetype alreadyInFile(const QStringList &fileLines, const QStringList &pending)
{
    if (fileLines.isEmpty())
        return 0;
    // The written part of `pending` is a run that ends the file; search it from the newest end,
    // and make sure the lines before the match agree too, so that a repeated line is not taken
    // for the last written one.
    const qsizetype fileCount = fileLines.size();
    for (qsizetype i = pending.size() - 1; i >= 0; --i) {
        if (pending.at(i) != fileLines.constLast())
            continue;
        bool agrees = true;
        for (qsizetype back = 1; back <= i && back < fileCount; ++back) {
            if (pending.at(i - back) != fileLines.at(fileCount - 1 - back)) {
                agrees = false;
                break;
            }
        }
        if (agrees)
            return i + 1;
    }
    return 0;
}

} // namespace log_filter
