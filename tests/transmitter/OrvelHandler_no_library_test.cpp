#include "transmitter/OrvelHandler.h"
#include "transmitter/iowkit.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

// Runs with the simulated adapter off the loader's path: as on a machine without the library.
TEST(NoAdapterLibrary, DetectionFailsEveryTimeAndLogsWhatIsMissingOnce)
{
    std::vector<QString> errors;
    T_Orvel_Handler handler([&](TCategory c, TMode m, const QString &text) {
        EXPECT_EQ(c, catConverter);
        EXPECT_EQ(m, lError);
        errors.push_back(text);
    });
    EXPECT_FALSE(iowkit_loaded());
    EXPECT_FALSE(T_Orvel_Handler::Get_library_loaded());
    for (int cycle = 0; cycle < 3; ++cycle)
        EXPECT_FALSE(handler.detect_dongle()) << cycle;
    ASSERT_EQ(errors.size(), 2u) << "once, not at every scan cycle";
    EXPECT_EQ(errors[0], QStringLiteral("Error open IO-Device"));
    EXPECT_TRUE(errors[1].contains(QStringLiteral("libiowkit.so.1"))) << errors[1].toStdString();
    EXPECT_TRUE(errors[1].contains(QStringLiteral("LD_LIBRARY_PATH"))) << "where it is looked for";
    EXPECT_FALSE(handler.enable_IIC());
    EXPECT_FALSE(handler.get_measurement());
    handler.unload();
    EXPECT_EQ(errors.size(), 2u);
}
