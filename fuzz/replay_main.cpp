// Runs a fuzz target's entry point over every file of its seed folders, without libFuzzer, so
// that the ordinary test build keeps the target compiling and its seeds pass under the
// sanitizers. A failed check aborts.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char *argv[])
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else {
            files << path;
        }
    }
    files.sort();
    if (files.isEmpty()) {
        std::fputs("no seeds found\n", stderr);
        return 1;
    }
    for (const QString &name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot be read\n", qPrintable(name));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        std::printf("%s (%lld bytes)\n", qPrintable(name), static_cast<long long>(bytes.size()));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    }
    std::printf("%lld seeds passed\n", static_cast<long long>(files.size()));
    return 0;
}
