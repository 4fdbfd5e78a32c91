#pragma once
// Text handed to the clipboard or written to a file: every line ends in CR LF, the last one too.
#include <QString>
#include <QStringList>

inline QString crlf_text(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}
