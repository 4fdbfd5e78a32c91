// The program's single translator with a language of a test's own lines, in a folder of its own.
// The translator is released when this goes, so that nothing after the test sees the language.
#pragma once

#include "services/settings/Translator.h"
#include "services/utils/UniCodeFile.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

class SingleLanguage
{
public:
    explicit SingleLanguage(const QStringList &lines)
    {
        const QString file = QStringLiteral("test.lang");
        TUnicodeFile::writeLines(QDir(fFolder.path()).filePath(file), lines, UTF16LE);
        TTranslator *translator = TTranslator::getInstance();
        translator->setPath(fFolder.path());
        translator->Set_Language(file);
    }
    ~SingleLanguage() { TTranslator::release(); }
    SingleLanguage(const SingleLanguage &) = delete;
    SingleLanguage &operator=(const SingleLanguage &) = delete;

    // A language that shows each of these keys as "<key>": which control took which key.
    static QStringList showingKeys(const QStringList &keys)
    {
        QStringList lines;
        for (const QString &key : keys)
            lines.append(key + QStringLiteral("=<") + key + u'>');
        return lines;
    }

private:
    QTemporaryDir fFolder;
};
