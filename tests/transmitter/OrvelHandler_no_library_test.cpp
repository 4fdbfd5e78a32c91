#include "transmitter/OrvelHandler.h"
#include "transmitter/iowkit.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

// Runs with the simulated adapter off the loader's path: as on a machine without the library.
TEST(NoAdapterLibrary, DetectionLogsAndFailsEveryTime)
{
    std::vector<QString> errors;
    T_Orvel_Handler handler([&](TCategory c, TMode m, const QString &text) {
        EXPECT_EQ(c, catConverter);
        EXPECT_EQ(m, lError);
        errors.push_back(text);
    });
    EXPECT_FALSE(iowkit_loaded());
    EXPECT_FALSE(handler.detect_dongle());
    EXPECT_FALSE(handler.detect_dongle());
    EXPECT_EQ(errors, (std::vector<QString>{QStringLiteral("Error open IO-Device"), QStringLiteral("Error open IO-Device")}));
    EXPECT_FALSE(handler.enable_IIC());
    EXPECT_FALSE(handler.get_measurement());
    handler.unload();
    EXPECT_EQ(errors.size(), 2u);
}
