// Where a text too wide for the status bar is cut.
#include "views/instruments/word_elide.h"

#include <gtest/gtest.h>

namespace {

// One unit a character, so widths read as lengths.
int length(const QString &text)
{
    return int(text.size());
}

struct ElideCase {
    const char *name;
    const char *text;
    int width;
    const char *shown;
};

const ElideCase Cases[] = {
    {"FitsWhole", "Nothing was written", 19, "Nothing was written"},
    {"CutAfterTheLastWholeWord", "Nothing was written; go on", 22, "Nothing was written\u2026"},
    {"NeverInsideAWord", "Nothing was written", 15, "Nothing was\u2026"},
    {"AtTheSpaceItself", "Nothing was written", 12, "Nothing was\u2026"},
    {"OneLongWordIsCut", "Verification", 6, "Verif\u2026"},
    {"FirstWordTooLongIsCut", "Verification failed", 8, "Verific\u2026"},
    {"OnlyTheEllipsisFits", "Verification", 1, "\u2026"},
    {"NothingFits", "Verification", 0, "\u2026"},
    {"EmptyText", "", 0, ""},
};

class Elide : public ::testing::TestWithParam<ElideCase>
{
};

} // namespace

TEST_P(Elide, CutsAtAWordAndEndsWithAnEllipsis)
{
    const ElideCase &c = GetParam();
    EXPECT_EQ(word_elide::elided(QString::fromUtf8(c.text), c.width, length).toStdString(), std::string(c.shown));
}

INSTANTIATE_TEST_SUITE_P(Texts, Elide, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<ElideCase> &info) { return std::string(info.param.name); });
