// Texts, result codes and button places of the message dialog, and cutting its icon strip.
#include "services/dialogs/icon_strip.h"
#include "services/dialogs/msg_dialog.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

struct ButtonCase {
    TButtonTypes button;
    int value;
    const char *key;
    const char *caption;
    int result;
};

const ButtonCase Buttons[] = {
    {mbYes, 0, "yes", "Yes", 6},          {mbNo, 1, "no", "No", 7},
    {mbOk, 2, "ok", "Ok", 1},             {mbCancel, 3, "cancel", "Cancel", 2},
    {mbAbort, 4, "abort", "Abort", 3},    {mbRetry, 5, "retry", "Retry", 4},
    {mbIgnore, 6, "ignore", "Ignore", 5}, {mbAll, 7, "all", "All", 12},
    {mbNoToAll, 8, "noToAll", "No to All", 13}, {mbYesToAll, 9, "yesToAll", "Yes to All", 14},
};

TEST(MsgDialogRules, EachButtonHasItsValueCaptionAndResultCode)
{
    for (const ButtonCase &c : Buttons) {
        EXPECT_EQ(int(c.button), c.value) << c.caption;
        EXPECT_STREQ(msg_dialog::buttonText(c.button).key, c.key);
        EXPECT_STREQ(msg_dialog::buttonText(c.button).defaultText, c.caption);
        EXPECT_EQ(msg_dialog::resultCode(c.button), c.result) << c.caption;
    }
}

TEST(MsgDialogRules, EachTypeHasItsValueAndTitle)
{
    const struct {
        TMsgDialogType type;
        int value;
        const char *key;
        const char *title;
    } types[] = {{mtWarning, 0, "warning", "Warning"},
                 {mtError, 1, "error", "Error"},
                 {mtInformation, 2, "information", "Information"},
                 {mtConfirmation, 3, "confirmation", "Confirmation"}};
    for (const auto &c : types) {
        EXPECT_EQ(int(c.type), c.value);
        EXPECT_STREQ(msg_dialog::titleText(c.type).key, c.key);
        EXPECT_STREQ(msg_dialog::titleText(c.type).defaultText, c.title);
    }
    EXPECT_EQ(msg_dialog::CloseResult, msg_dialog::resultCode(mbCancel));
}

TEST(MsgDialogRules, ButtonsStandRightToLeftSixPixelsApart)
{
    const struct {
        int outerWidth;
        int buttonWidth;
        int index;
        int left;
    } cases[] = {
        {380, 75, 0, 275}, // first entry: 30 pixels plus its width from the right edge
        {380, 75, 1, 194}, // next one 6 pixels further left
        {380, 75, 2, 113},
        {380, 80, 1, 184},
        {500, 75, 0, 395},
    };
    for (const auto &c : cases)
        EXPECT_EQ(msg_dialog::buttonLeft(c.outerWidth, c.buttonWidth, c.index), c.left)
            << c.outerWidth << " " << c.buttonWidth << " " << c.index;
    EXPECT_EQ(msg_dialog::buttonTop(150), 80);
    EXPECT_EQ(msg_dialog::buttonTop(200), 130);
}

QImage stripOf(int cells, QImage::Format format, QColor background)
{
    QImage strip(cells * 32, 32, format);
    strip.fill(background);
    QPainter p(&strip);
    for (int i = 0; i < cells; ++i)
        p.fillRect(i * 32 + 8, 8, 16, 16, QColor::fromHsv(i * 60, 255, 200));
    return strip;
}

TEST(IconStrip, CutsSquaresFromLeftToRight)
{
    const QImage strip = stripOf(4, QImage::Format_ARGB32, Qt::transparent);
    const QList<QImage> icons = cutIconStrip(strip, 32);
    ASSERT_EQ(icons.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(icons[i].size(), QSize(32, 32));
        EXPECT_EQ(icons[i].pixel(16, 16), strip.pixel(i * 32 + 16, 16)) << "icon " << i;
        EXPECT_EQ(qAlpha(icons[i].pixel(0, 0)), 0) << "icon " << i;
    }
}

TEST(IconStrip, WithoutAlphaTheCornerColourBecomesTransparent)
{
    const QImage strip = stripOf(2, QImage::Format_RGB32, QColor(255, 0, 255));
    const QList<QImage> icons = cutIconStrip(strip, 32);
    ASSERT_EQ(icons.size(), 2);
    for (const QImage &icon : icons) {
        EXPECT_EQ(qAlpha(icon.pixel(0, 31)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(31, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(16, 16)), 255);
    }
    EXPECT_EQ(icons[1].pixel(16, 16), strip.pixel(48, 16));
}

TEST(IconStrip, OddSizesAndEmptyFiles)
{
    const struct {
        QSize size;
        int icons;
    } cases[] = {{{100, 32}, 3}, {{31, 32}, 0}, {{128, 20}, 0}, {{64, 48}, 2}, {{0, 0}, 0}};
    for (const auto &c : cases) {
        QImage strip;
        if (!c.size.isEmpty()) {
            strip = QImage(c.size, QImage::Format_ARGB32);
            strip.fill(Qt::gray);
        }
        EXPECT_EQ(cutIconStrip(strip, 32).size(), c.icons) << c.size.width() << "x" << c.size.height();
    }
}

} // namespace
