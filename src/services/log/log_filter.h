// Which log lines the log viewer shows, and which handed-over lines a freshly read log file
// does not hold yet. Widget-free; plain functions, safe from any thread.
#pragma once

#include <QString>
#include <QStringList>

// The check marks of the viewer's filter menus; every item starts checked.
struct TLogFilter {
    bool standart = true; // the category "-" of the header lines
    bool core = true;
    bool database = true;
    bool communication = true;
    bool viewer = true;
    bool converter = true;
    bool normal = true;
    bool error = true;
    bool debug = true;
};

namespace log_filter {

// Tells a line's category and level by their texts between TABs and, for the category "-",
// by its place after a time stamp of 19 characters. A category no item names is hidden.
bool lineVisible(const QString &line, const TLogFilter &filter);

// How many of the first lines of `pending` (handed over in log order) the file `fileLines` already
// ends with. The file is read while the writer may still hold the later ones back.
qsizetype alreadyInFile(const QStringList &fileLines, const QStringList &pending);

} // namespace log_filter
