// The texts of the current language by key, with the English default where the language file
// has none; lists the language files beside the program. The single instance also has the
// toolkit's own words (standard dialogs) follow its language. GUI thread only.
#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QTranslator;

class TTranslator
{
public:
    using Entry = QPair<QString, QString>;    // key, value
    using Language = QPair<QString, QString>; // file name, display name
    // Receives the debug line of every key the language lacks.
    using MissingKeySink = std::function<void(const QString &line)>;

    static TTranslator *getInstance();
    static void release();
    // Where the single instance's missing keys go, for as long as it lives and any made later;
    // installed by the program, so the settings need not know the event log. Null drops them.
    static void setInstanceSink(MissingKeySink sink);

    // `dir` is the language folder; its "*.lang" files are listed once, here.
    TTranslator(const QString &dir, MissingKeySink missingKeySink);
    ~TTranslator();

    QString translate(const QString &key, const QString &defaultText) const;

    // Loads the language file; a missing file leaves every text at its default.
    void Set_Language(const QString &fileName);
    // The display name of the loaded language.
    const QString &Get_Language() const { return fLanguageName; }

    const QList<Language> &getLanguages() const { return fLanguages; }
    // The entries of a file in the language folder, in file order; none when it is missing.
    QList<Entry> readLanguage(const QString &language);
    void saveDictionary(const QList<Entry> &nDictionary) const;

    const QList<Entry> &Dictionary() const { return fDictionary; }
    const QString &fileName() const { return fFileName; }
    // The language folder from now on, its languages listed afresh; the loaded language stays.
    void setPath(const QString &path);
    void setFileName(const QString &nfileName) { fFileName = nfileName; }

    static constexpr const char *LanguageNameKey = "languageName";

private:
    static QString lookupKey(const QString &key) { return key.toCaseFolded(); }
    static std::optional<QString> valueOf(const QList<Entry> &entries, const QString &key);
    void listLanguages();
    void followToolkit();

    QString fDir;
    QString fFileName;
    QList<Entry> fDictionary;
    QHash<QString, QString> fIndex; // folded key -> value of its first occurrence
    QString fLanguageName;
    QList<Language> fLanguages;
    MissingKeySink fMissingKey;
    std::unique_ptr<QTranslator> fToolkit; // installed while a language other than English is loaded
    QString fToolkitLanguage;
};
