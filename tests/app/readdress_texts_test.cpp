// What a change of address tells about each step and each refusal: the status texts go through
// the translator (but the fixed short texts), the log lines stay English.
#include "app/readdress_texts.h"

#include <gtest/gtest.h>

namespace {

using readdress::Refusal;
using readdress::Step;

QString marked(const char *key, const char *)
{
    return QStringLiteral("<%1>").arg(QString::fromLatin1(key));
}

TEST(ReaddressTexts, EachStepReportsSuccessAndFailure)
{
    const struct {
        Step step;
        bool ok;
        const char *left;
        const char *middle;
        const char *log;
    } cases[] = {
        {Step::DisableI2c, true, "IIC ", "<IIC_disable_succ>", "IIC-Mode successfully disabled"},
        {Step::DisableSpi, true, "SPI ", "<spi_succ>", "SPI Mode successfully disabled"},
        {Step::EnableI2c, true, "IIC-Mode", "<IIC_enable_succ>", "IIC-Mode successfully enabled"},
        {Step::EnableI2c, false, "<Error>", "<IIC_not>", "IIC-Mode could not be initialized"},
        {Step::SwitchOff, true, "<OFF>", "<succ_off>", "Successfully switched OFF"},
        {Step::SwitchOn, false, "<Error>", "<err_ON>", "Problems to switch ON"},
        {Step::CommandMode, true, "<Command Mode>", "<succ_cmd_mode>", "Command Mode successfully enabled"},
        {Step::Write, false, "<Error>", "<err_cpy>", "Problems to copy memory"},
        // The user reads "comparison", the log says "verification".
        {Step::Verify, true, "<Verify>", "<succ_very>", "Verification of memory successfully executed"},
        {Step::Checksum, false, "<Error>", "<err_checksum>", "Problems to generate checksum"},
        {Step::SwitchOffAfter, true, "<OFF>", "<succ_off_re>", "Successfully switched OFF after re-addressing"},
        {Step::SwitchOnAfter, false, "<Error>", "<err_on_re>", "Problems to switch ON after re-addressing"},
        {Step::NewAddress, true, "<readdr_address>", "<new_addr_succ>", "Transmitter answers at the new address"},
    };
    for (const auto &c : cases) {
        const auto report = readdress_texts::step_report(c.step, c.ok, marked);
        ASSERT_TRUE(report) << int(c.step);
        EXPECT_EQ(report->left, QString::fromLatin1(c.left)) << int(c.step) << c.ok;
        EXPECT_EQ(report->middle, QString::fromLatin1(c.middle)) << int(c.step) << c.ok;
        EXPECT_EQ(report->logLine, QString::fromLatin1(c.log)) << int(c.step) << c.ok;
    }
}

TEST(ReaddressTexts, TheCheckAndTheConfirmationAreNotToldAsSteps)
{
    for (Step step : {Step::None, Step::Check, Step::Confirm})
        for (bool ok : {true, false})
            EXPECT_FALSE(readdress_texts::step_report(step, ok, marked)) << int(step);
}

TEST(ReaddressTexts, EachRefusalHasItsReason)
{
    const struct {
        Refusal why;
        const char *text;
        const char *log;
        QList<int> matching;
    } cases[] = {
        {Refusal::NotOnBus, "<refuse_not_on_bus>", "Restore refused: no transmitter on the bus carries the image's identity", {}},
        {Refusal::TwoMatch, "<refuse_two_match> 0x00, 0x28",
         "Restore refused: more than one transmitter carries the image's identity: 0x00, 0x28", {0x00, 0x28}},
        {Refusal::AddressInUse, "<refuse_in_use>", "Re-addressing refused: the new address is in use", {}},
        {Refusal::Incomplete, "<refuse_incomplete>", "Re-addressing refused: memory image incomplete", {}},
        {Refusal::NotCalibrated, "<not_allowed>!", "Re-addressing refused: device not calibrated", {}},
        {Refusal::NoChangeLeft, "<none>!", "Re-addressing refused: no change left", {}},
        {Refusal::MemoryError, "<refuse_memory_error>", "Re-addressing refused: the transmitter reports a memory error", {}},
        {Refusal::OtherImage, "<refuse_other_image>", "Re-addressing refused: the transmitter holds another image", {}},
        {Refusal::OtherProduct, "<refuse_other_product>", "Restore refused: the image belongs to another product code", {}},
    };
    for (const auto &c : cases) {
        const readdress_texts::RefusalReport report = readdress_texts::refusal_report(c.why, marked, c.matching);
        EXPECT_EQ(report.text, QString::fromLatin1(c.text)) << int(c.why);
        EXPECT_EQ(report.logLine, QString::fromLatin1(c.log)) << int(c.why);
    }
}

TEST(ReaddressTexts, WhereTheTransmitterAnswersAfterAFailedChange)
{
    const struct {
        int answersAt;
        const char *text;
        const char *log;
    } cases[] = {
        {0x28, "<answers_at> 0x28", "The transmitter now answers at 0x28"},
        {0x00, "<answers_at> 0x00", "The transmitter now answers at 0x00"},
        {readdress::AnswersNowhere, "<answers_nowhere>", "The transmitter does not answer on the bus"},
        {readdress::AnswersUnknown, "<answers_unknown>", "The adapter could not look for the transmitter"},
    };
    for (const auto &c : cases) {
        const readdress_texts::WhereReport where = readdress_texts::where_it_answers(c.answersAt, marked);
        EXPECT_EQ(where.text, QString::fromLatin1(c.text)) << c.answersAt;
        EXPECT_EQ(where.logLine, QString::fromLatin1(c.log)) << c.answersAt;
    }
}

// The English defaults, where a number goes into the text.
QString english(const char *, const char *text)
{
    return QString::fromUtf8(text);
}

TEST(ReaddressTexts, AFinishedProcedureNamesWhereTheTransmitterAnswers)
{
    const readdress_texts::Report changed = readdress_texts::done_report(false, 0x28, 0x30, english);
    EXPECT_EQ(changed.text, QStringLiteral("The transmitter now answers at 0x30 instead of 0x28."));
    EXPECT_EQ(changed.logLine, QStringLiteral("The transmitter now answers at 0x30"));
    const readdress_texts::Report restored = readdress_texts::done_report(true, 0x00, 0x28, english);
    EXPECT_EQ(restored.text, QStringLiteral("The saved memory image was written back. The transmitter answers at 0x28."));
    EXPECT_TRUE(readdress_texts::written_report(english).text.contains(QStringLiteral("Restore before-image…")));
}

} // namespace
