#include "services/settings/Translator.h"

#include "services/utils/UniCodeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

std::unique_ptr<TTranslator> &instance()
{
    static std::unique_ptr<TTranslator> translator;
    return translator;
}

TTranslator::MissingKeySink &instanceSink()
{
    static TTranslator::MissingKeySink sink;
    return sink;
}

} // namespace

std::optional<QString> TTranslator::valueOf(const QList<Entry> &entries, const QString &key)
{
    const QString folded = lookupKey(key);
    for (const Entry &entry : entries)
        if (lookupKey(entry.first) == folded)
            return entry.second;
    return std::nullopt;
}

TTranslator::TTranslator(const QString &dir, MissingKeySink missingKeySink)
    : fDir(dir), fMissingKey(std::move(missingKeySink))
{
    listLanguages();
}

TTranslator::~TTranslator() = default; // the toolkit's catalogue leaves the application with it

void TTranslator::setPath(const QString &path)
{
    fDir = path;
    listLanguages();
}

void TTranslator::listLanguages()
{
    fLanguages.clear();
    const QStringList files = QDir(fDir).entryList({QStringLiteral("*.lang")}, QDir::Files, QDir::Name);
    const QString keepFileName = fFileName;
    for (const QString &file : files) {
        // A file without a usable display name (none, or only blanks) is listed under its own name.
        QString name = valueOf(readLanguage(file), QString::fromLatin1(LanguageNameKey)).value_or(QString());
        if (name.trimmed().isEmpty())
            name = QFileInfo(file).completeBaseName();
        fLanguages.append({file, name});
    }
    fFileName = keepFileName;
}

QList<TTranslator::Entry> TTranslator::readLanguage(const QString &language)
{
    fFileName = language;
    const QString path = QDir(fDir).filePath(language);
    if (!QFileInfo(path).isFile())
        return {};
    QList<Entry> entries;
    try {
        const QStringList lines = TUnicodeFile::readLines(path, UTF16LE).value_or(QStringList());
        for (const QString &line : lines) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0)
                entries.append({line, QString()});
            else
                entries.append({line.left(eq), line.mid(eq + 1)});
        }
    } catch (const std::exception &) {
        return {}; // an unreadable language shows the default texts
    }
    return entries;
}

void TTranslator::Set_Language(const QString &fileName)
{
    fDictionary = readLanguage(fileName);
    fIndex.clear();
    for (const Entry &entry : fDictionary) {
        const QString key = lookupKey(entry.first);
        if (!fIndex.contains(key))
            fIndex.insert(key, entry.second);
    }
    const auto it = fIndex.constFind(lookupKey(QString::fromLatin1(LanguageNameKey)));
    if (it != fIndex.constEnd())
        fLanguageName = *it;
    if (this == instance().get())
        followToolkit();
}

// The toolkit's catalogue for the language, where the system has one; its source language is
// English.
void TTranslator::followToolkit()
{
    const QString language = translate(QStringLiteral("qt_language"), QStringLiteral("en"));
    if (language == fToolkitLanguage)
        return;
    fToolkit.reset();
    fToolkitLanguage = language;
    if (language == QLatin1String("en") || !QCoreApplication::instance())
        return;
    auto catalogue = std::make_unique<QTranslator>();
    if (catalogue->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(catalogue.get()))
        fToolkit = std::move(catalogue);
}

QString TTranslator::translate(const QString &key, const QString &defaultText) const
{
    const auto it = fIndex.constFind(lookupKey(key));
    if (it != fIndex.constEnd())
        return *it;
    if (fMissingKey)
        fMissingKey(QStringLiteral("Could not find Key: ") + key + QStringLiteral(" in:") + fFileName +
                    QStringLiteral("  Default-Value: ") + defaultText);
    return defaultText;
}

void TTranslator::saveDictionary(const QList<Entry> &nDictionary) const
{
    QStringList lines;
    for (const Entry &entry : nDictionary)
        lines.append(entry.first + u'=' + entry.second);
    TUnicodeFile::writeLines(QDir(fDir).filePath(fFileName), lines, UTF16LE);
}

TTranslator *TTranslator::getInstance()
{
    if (!instance()) {
        const QString dir = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("languages"));
        instance() = std::make_unique<TTranslator>(dir, [](const QString &line) {
            if (const MissingKeySink &sink = instanceSink())
                sink(line);
        });
    }
    return instance().get();
}

void TTranslator::release()
{
    instance().reset();
}

void TTranslator::setInstanceSink(MissingKeySink sink)
{
    instanceSink() = std::move(sink);
}
