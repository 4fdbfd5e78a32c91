// The re-addressing group's word on the changes left, from the memory page in use.
#include "app/changes_left.h"

#include <gtest/gtest.h>

namespace {

// Marks what went through the translator.
QString marked(const char *key, const char *)
{
    return QStringLiteral("<%1>").arg(QString::fromLatin1(key));
}

TEST(ChangesLeft, EachPageHasItsSentencePictureAndPermission)
{
    const struct {
        int state;
        const char *text;
        bool allowed;
        int picture;
        int left; // -1: none
    } cases[] = {
        {changes_left::NoneShown, "************", false, 4, -1},
        {changes_left::NotCalibrated, "<not_allowed>!", false, 4, -1},
        {0, "<three>.", true, 0, 3},
        {1, "<two>.", true, 1, 2},
        {2, "<one>.", true, 2, 1},
        // The last page is in use: nothing more may be written.
        {3, "<none>!", false, 3, 0},
    };
    for (const auto &c : cases) {
        const changes_left::Look look = changes_left::look(c.state, marked);
        EXPECT_EQ(look.text, QString::fromUtf8(c.text)) << c.state;
        EXPECT_EQ(look.change_allowed, c.allowed) << c.state;
        EXPECT_EQ(look.picture, c.picture) << c.state;
        EXPECT_EQ(changes_left::left(c.state).value_or(-1), c.left) << c.state;
    }
}

TEST(ChangesLeft, TheDefaultTextsAreTheEnglishSentences)
{
    const auto english = [](const char *, const char *defaultText) { return QString::fromUtf8(defaultText); };
    EXPECT_EQ(changes_left::look(0, english).text, QStringLiteral("Three more changes of slave address left."));
    EXPECT_EQ(changes_left::look(changes_left::NotCalibrated, english).text,
              QStringLiteral("Device NOT calibrated! Change of address not possible!"));
}

} // namespace
