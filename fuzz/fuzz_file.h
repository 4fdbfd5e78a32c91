// A file in a folder of its own for one fuzzing process, rewritten for every input.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

inline QString fuzz_file(const char *name, const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

#define FUZZ_CHECK(condition)                                                                          \
    do {                                                                                               \
        if (!(condition))                                                                              \
            std::abort();                                                                              \
    } while (false)
