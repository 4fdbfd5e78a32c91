// A language file with any content: listed under a name that is never empty, loadable, and every
// key read from it is found again.
#include "services/settings/Translator.h"
#include "fuzz_file.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz_file("fuzz.lang", data, size);
    TTranslator translator(QFileInfo(path).absolutePath(), nullptr);
    FUZZ_CHECK(translator.getLanguages().size() == 1);
    FUZZ_CHECK(!translator.getLanguages().constFirst().second.trimmed().isEmpty());
    translator.Set_Language(QStringLiteral("fuzz.lang"));
    for (const TTranslator::Entry &entry : translator.Dictionary())
        translator.translate(entry.first, QStringLiteral("default"));
    if (!translator.Dictionary().isEmpty()) {
        const TTranslator::Entry &first = translator.Dictionary().constFirst();
        FUZZ_CHECK(translator.translate(first.first.toUpper(), QStringLiteral("x")) == first.second ||
                   first.first.toUpper().toCaseFolded() != first.first.toCaseFolded());
    }
    return 0;
}
