// A recorded row read back gives bit for bit the values and texts the live run showed for the
// same raw words, whatever the range, the digits and the words.
#include "session/recorded_run.h"

#include "transmitter/OrvelDevice.h"

#include <gtest/gtest.h>
#include <random>

TEST(RecordedRun, RawWordsGiveTheLiveRunsValuesAndTexts)
{
    struct Range {
        float min, max;
    };
    // Ranges as the identity words carry them: single precision.
    const Range ranges[] = {{0.0f, 10.0f}, {-1.0f, 1.0f}, {0.0f, 0.25f}, {-0.0625f, 600.0f}, {1.5f, 1.5f}};
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> word(0, 0xFFFF);
    std::uniform_int_distribution<int> digits(0, 6);
    for (const Range &range : ranges) {
        run_database::Run run;
        run.started = QDateTime::fromMSecsSinceEpoch(1'765'000'000'123);
        run.address = 0x28;
        run.range_min = range.min;
        run.range_max = range.max;
        for (int i = 0; i < 2000; ++i) {
            const int pd = digits(random), td = digits(random);
            // The live path: the worker's device model.
            T_OrvelDevice device;
            device.Set_pmin(range.min);
            device.Set_pmax(range.max);
            device.Set_pressure_digits(pd);
            device.Set_temperature_digits(td);
            const run_database::Row row{i, std::int64_t(i) * 37, std::uint16_t(word(random)), std::uint16_t(word(random))};
            device.Set_pressure_U16_raw(row.pressure_raw);
            device.Set_temperature_U16_raw(row.temperature_raw);

            const session::Measurement m = recorded_run::measurement(run, row, pd, td);
            ASSERT_EQ(m.pressure, device.Get_pressure()) << row.pressure_raw << " in " << range.min << ".." << range.max;
            ASSERT_EQ(m.temperature, device.Get_temperature()) << row.temperature_raw;
            ASSERT_EQ(m.pressure_text, device.Get_pressure_as_String());
            ASSERT_EQ(m.temperature_text, device.Get_temperature_as_String());
            ASSERT_EQ(m.time, run.started.addMSecs(std::int64_t(i) * 37));
            ASSERT_EQ(m.pressure_raw, row.pressure_raw);
            // What an export reads: the same values without the texts.
            const recorded_run::Values v = recorded_run::values(run, row);
            ASSERT_EQ(v.pressure, m.pressure);
            ASSERT_EQ(v.temperature, m.temperature);
        }
    }
}
