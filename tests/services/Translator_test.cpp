#include "services/settings/Translator.h"
#include "services/settings/window_text.h"
#include "services/utils/UniCodeFile.h"
#include "qt_printers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

QByteArray utf16(const QString &text, bool byteOrderMark = true)
{
    QByteArray bytes = byteOrderMark ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (const QChar ch : text) {
        bytes.append(char(ch.unicode() & 0xFF));
        bytes.append(char(ch.unicode() >> 8));
    }
    return bytes;
}

class Translator : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(fDir.isValid()); }

    void language(const char *file, const QString &text, bool byteOrderMark = true) const
    {
        QFile f(fDir.filePath(QString::fromLatin1(file)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(utf16(text, byteOrderMark));
    }
    std::unique_ptr<TTranslator> make()
    {
        return std::make_unique<TTranslator>(fDir.path(), [this](const QString &line) { missing.append(line); });
    }

    QTemporaryDir fDir;
    QStringList missing;
};

} // namespace

TEST_F(Translator, EntriesSplitAtTheFirstEqualsSignWithNothingTrimmed)
{
    language("test.lang", QStringLiteral("languageName=Test\r\ntitle=A=B\r\nok = Yes\r\nlonely\r\nEmpty=\r\nlast=end"));
    auto t = make();
    t->Set_Language(QStringLiteral("test.lang"));
    const QList<TTranslator::Entry> expected = {
        {"languageName", "Test"}, {"title", "A=B"}, {"ok ", " Yes"}, {"lonely", ""}, {"Empty", ""}, {"last", "end"}};
    EXPECT_EQ(t->Dictionary(), expected);

    struct {
        const char *key;
        const char *result;
    } cases[] = {{"title", "A=B"}, {"ok ", " Yes"}, {"ok", "default"}, {"EMPTY", ""}, {"last", "end"}, {"lonely", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(t->translate(QString::fromLatin1(c.key), QStringLiteral("default")), QString::fromLatin1(c.result))
            << c.key;
    EXPECT_EQ(missing, QStringList{QStringLiteral("Could not find Key: ok in:test.lang  Default-Value: default")});
}

TEST_F(Translator, KeysMatchWithoutRegardToCaseAndTheFirstOccurrenceWins)
{
    language("de.lang", QStringLiteral("Error=Fehler\r\nerror=zweiter\r\nGröße=Size\r\n"));
    auto t = make();
    t->Set_Language(QStringLiteral("de.lang"));
    EXPECT_EQ(t->translate(QStringLiteral("error"), QStringLiteral("x")), QStringLiteral("Fehler"));
    EXPECT_EQ(t->translate(QStringLiteral("ERROR"), QStringLiteral("x")), QStringLiteral("Fehler"));
    EXPECT_EQ(t->translate(QStringLiteral("GRÖßE"), QStringLiteral("x")), QStringLiteral("Size"));
    EXPECT_TRUE(missing.isEmpty());
}

TEST_F(Translator, ByteOrderMarkOrNotAndTheFileEnd)
{
    language("with.lang", QStringLiteral("a=1\r\nb=2"), true);
    language("without.lang", QStringLiteral("a=1\r\nb=2"), false);
    language("trailing.lang", QStringLiteral("a=1\r\n"), true);
    auto t = make();
    EXPECT_EQ(t->readLanguage(QStringLiteral("with.lang")), t->readLanguage(QStringLiteral("without.lang")));
    EXPECT_EQ(t->readLanguage(QStringLiteral("with.lang")).last(), TTranslator::Entry("b", "2"));
    const QList<TTranslator::Entry> trailing = {{"a", "1"}, {"", ""}};
    EXPECT_EQ(t->readLanguage(QStringLiteral("trailing.lang")), trailing);
    EXPECT_EQ(t->fileName(), QStringLiteral("trailing.lang"));
}

TEST_F(Translator, LanguageNameKeptWhenTheNewFileHasNone)
{
    language("english.lang", QStringLiteral("languageName=English\r\nhello=Hello"));
    language("plain.lang", QStringLiteral("hello=Hi"));
    auto t = make();
    t->Set_Language(QStringLiteral("english.lang"));
    EXPECT_EQ(t->Get_Language(), QStringLiteral("English"));
    t->Set_Language(QStringLiteral("plain.lang"));
    EXPECT_EQ(t->Get_Language(), QStringLiteral("English"));
    EXPECT_EQ(t->translate(QStringLiteral("hello"), QStringLiteral("x")), QStringLiteral("Hi"));
    t->Set_Language(QStringLiteral("missing.lang"));
    EXPECT_TRUE(t->Dictionary().isEmpty());
    EXPECT_EQ(t->translate(QStringLiteral("hello"), QStringLiteral("Hello")), QStringLiteral("Hello"));
    EXPECT_EQ(missing.size(), 1);
}

TEST_F(Translator, ListsTheLanguageFilesWithTheirNames)
{
    language("german.lang", QStringLiteral("languageName=Deutsch\r\nx=y"));
    language("english.lang", QStringLiteral("languageName=English"));
    language("nameless.lang", QStringLiteral("x=y"));
    language("notes.txt", QStringLiteral("languageName=Notes"));
    QDir(fDir.path()).mkdir(QStringLiteral("folder.lang"));
    auto t = make();
    const QList<TTranslator::Language> expected = {
        {"english.lang", "English"}, {"german.lang", "Deutsch"}, {"nameless.lang", "nameless"}};
    EXPECT_EQ(t->getLanguages(), expected);
    EXPECT_TRUE(t->Dictionary().isEmpty()) << "no language is loaded by listing";
    EXPECT_EQ(t->translate(QStringLiteral("x"), QStringLiteral("default")), QStringLiteral("default"));
}

TEST_F(Translator, ALanguageWithoutAUsableNameIsListedUnderItsFileName)
{
    language("bare.lang", QStringLiteral("languageName\r\nx=y"));
    language("blank.lang", QStringLiteral("languageName=  \r\nx=y"));
    language("empty.lang", QStringLiteral("languageName="));
    auto t = make();
    const QList<TTranslator::Language> expected = {{"bare.lang", "bare"}, {"blank.lang", "blank"}, {"empty.lang", "empty"}};
    EXPECT_EQ(t->getLanguages(), expected);
}

TEST_F(Translator, ANewFolderIsListedAfreshAndTheLoadedLanguageStays)
{
    language("english.lang", QStringLiteral("languageName=English\r\nhello=Hello"));
    ASSERT_TRUE(QDir(fDir.path()).mkdir(QStringLiteral("other")));
    language("other/german.lang", QStringLiteral("languageName=Deutsch\r\nhello=Hallo"));
    auto t = make();
    t->Set_Language(QStringLiteral("english.lang"));
    t->setPath(fDir.filePath(QStringLiteral("other")));
    const QList<TTranslator::Language> expected = {{"german.lang", "Deutsch"}};
    EXPECT_EQ(t->getLanguages(), expected);
    EXPECT_EQ(t->Get_Language(), QStringLiteral("English"));
    EXPECT_EQ(t->fileName(), QStringLiteral("english.lang"));
    EXPECT_EQ(t->translate(QStringLiteral("hello"), QStringLiteral("x")), QStringLiteral("Hello"));
    t->Set_Language(QStringLiteral("german.lang"));
    EXPECT_EQ(t->translate(QStringLiteral("hello"), QStringLiteral("x")), QStringLiteral("Hallo"));
}

// The windows' way to their texts asks whichever single instance there is now.
TEST_F(Translator, WindowTextIsTheSingleInstancesTextOrTheUtf8Default)
{
    language("test.lang", QStringLiteral("languageName=Test\r\npressure=Druck"));
    TTranslator::getInstance()->setPath(fDir.path());
    TTranslator::getInstance()->Set_Language(QStringLiteral("test.lang"));
    EXPECT_EQ(window_text::tr_("pressure", "Pressure"), QStringLiteral("Druck"));
    EXPECT_EQ(window_text::tr_("temperature", "Temperature [°C]"), QStringLiteral("Temperature [°C]"));
    TTranslator::release();
    EXPECT_EQ(window_text::tr_("pressure", "Pressure"), QStringLiteral("Pressure")) << "made again: nothing loaded";
    TTranslator::release();
}

// The toolkit's standard dialogs speak the single instance's language, as far as the toolkit's
// catalogue of it is installed; any other instance leaves them alone.
TEST_F(Translator, ToolkitWordsFollowTheSingleInstance)
{
    QTranslator german;
    if (!german.load(QLocale(QStringLiteral("de")), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        GTEST_SKIP() << "the toolkit's German catalogue is not installed";
    const auto lookIn = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
    const QString inGerman = german.translate("QFileDialog", "Look in:");
    ASSERT_FALSE(inGerman.isEmpty());
    language("de.lang", QStringLiteral("languageName=Deutsch\r\nqt_language=de"));
    language("en.lang", QStringLiteral("languageName=English\r\nqt_language=en"));
    language("none.lang", QStringLiteral("languageName=Ohne"));

    auto other = make();
    other->Set_Language(QStringLiteral("de.lang"));
    EXPECT_EQ(lookIn(), QStringLiteral("Look in:")) << "not the program's translator";

    TTranslator *program = TTranslator::getInstance();
    program->setPath(fDir.path());
    const struct {
        const char *file;
        QString shown;
    } cases[] = {{"de.lang", inGerman}, {"en.lang", "Look in:"}, {"de.lang", inGerman}, {"none.lang", "Look in:"}};
    for (const auto &c : cases) {
        program->Set_Language(QString::fromLatin1(c.file));
        EXPECT_EQ(lookIn(), c.shown) << c.file;
    }
    program->Set_Language(QStringLiteral("de.lang"));
    TTranslator::release();
    EXPECT_EQ(lookIn(), QStringLiteral("Look in:")) << "released with the instance";
}

TEST_F(Translator, NoLanguageFolder)
{
    TTranslator t(fDir.filePath(QStringLiteral("missing")), nullptr);
    EXPECT_TRUE(t.getLanguages().isEmpty());
    EXPECT_EQ(t.translate(QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
}

TEST_F(Translator, SavedDictionaryReadsBackTheSame)
{
    auto t = make();
    t->setFileName(QStringLiteral("saved.lang"));
    const QList<TTranslator::Entry> entries = {{"languageName", "Test"}, {"k", "v=w"}, {"blank ", " x"}};
    t->saveDictionary(entries);
    EXPECT_EQ(t->readLanguage(QStringLiteral("saved.lang")), entries);
    QFile f(fDir.filePath(QStringLiteral("saved.lang")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith(QByteArray("\xFF\xFEl\0", 4)));
}

TEST(ShippedLanguages, EnglishIsBesideTheProgram)
{
    TTranslator t(QDir::current().filePath(QStringLiteral("languages")), nullptr);
    ASSERT_TRUE(t.getLanguages().contains(TTranslator::Language("english.lang", "English")));
    t.Set_Language(QStringLiteral("english.lang"));
    EXPECT_EQ(t.Get_Language(), QStringLiteral("English"));
}

// The program decides where the single instance's missing keys go: whenever it installs that,
// and for an instance made again after a release.
TEST(TranslatorInstance, MissingKeysGoWhereTheProgramSendsThem)
{
    QStringList lines;
    const auto key = [](const char *name) {
        return TTranslator::getInstance()->translate(QString::fromLatin1(name), QStringLiteral("default"));
    };
    key("before");
    TTranslator::setInstanceSink([&lines](const QString &line) { lines.append(line); });
    key("installed");
    TTranslator::release();
    key("made again");
    TTranslator::setInstanceSink(nullptr);
    key("dropped");
    TTranslator::release();

    ASSERT_EQ(lines.size(), 2) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Could not find Key: installed in:"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Could not find Key: made again in:"))) << lines[1].toStdString();
}
