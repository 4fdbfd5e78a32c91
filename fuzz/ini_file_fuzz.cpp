// The settings file as anything may leave it: reading never fails, a written key reads back,
// and the lines not written keep their bytes.
#include "services/utils/ini_file.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz_file("settings.ini", data, size);
    const QByteArray original(reinterpret_cast<const char *>(data), qsizetype(size));
    TIniFile ini(path);
    for (const char *key : {"style", "language", "Tmain_Form_left", "p_digits"})
        for (const char *section : {"GUI", "general", "gui", "viewer"})
            FUZZ_CHECK(ini.ReadString(QString::fromLatin1(section), QString::fromLatin1(key), {}).size() <=
                       TIniFile::MaxValueLength);
    ini.SectionExists(QStringLiteral("Chart"));

    ini.WriteString(QStringLiteral("viewer"), QStringLiteral("fuzz_key"), QStringLiteral("v=1 ü"));
    FUZZ_CHECK(ini.ReadString(QStringLiteral("VIEWER"), QStringLiteral("FUZZ_KEY"), {}) == QStringLiteral("v=1 ü"));
    // A store opened afresh finds what the first one wrote.
    FUZZ_CHECK(TIniFile(path).ReadString(QStringLiteral("viewer"), QStringLiteral("fuzz_key"), {}) ==
               QStringLiteral("v=1 ü"));

    // Every line of the original but the one written is in the file, bytes unchanged.
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    int missing = 0;
    for (QByteArray line : original.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty() && !written.contains(line))
            ++missing;
    }
    FUZZ_CHECK(missing <= 1);
    return 0;
}
