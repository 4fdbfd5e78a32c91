// The device panel's words for the transmitter's status byte.
#include "app/device_texts.h"

#include <gtest/gtest.h>

namespace {

QString marked(const char *key, const char *)
{
    return QStringLiteral("<%1>").arg(QString::fromLatin1(key));
}

TEST(DeviceTexts, StatusByteInWords)
{
    const struct {
        uint8_t status;
        const char *text;
    } cases[] = {
        // Without the powered bit nothing else is read.
        {0x00, "<status_hw_error>"},
        {0x3E, "<status_hw_error>"},
        {0x40, "<status_normal>"},
        {0x48, "<status_command>"},
        {0x50, "<status_reserved>"},
        {0x58, "<status_command_reserved>"},
        {0x60, "<status_normal>| <status_busy>"},
        {0x44, "<status_normal>| <status_memory_error>"},
        {0x42, "<status_normal>| <status_special_error>"},
        {0x6E, "<status_command>| <status_busy>| <status_memory_error>| <status_special_error>"},
        // The lowest bit says nothing.
        {0x41, "<status_normal>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(device_texts::status_text(c.status, marked), QString::fromLatin1(c.text)) << int(c.status);
}

} // namespace
