// What scripts read does not change with the user's locale: numbers with a point, dates
// yyyy-MM-dd, and the range, mode, status and identity as numbers beside their texts.
#include "cli_fixture.h"
#include "transmitter/OrvelDevice.h"

namespace {

class Locales : public Cli, public ::testing::WithParamInterface<const char *>
{
protected:
    void SetUp() override
    {
        Cli::SetUp();
        fEnv.insert(QStringLiteral("LC_ALL"), QLatin1String(GetParam()));
        fEnv.insert(QStringLiteral("LANG"), QLatin1String(GetParam()));
    }
};

} // namespace

TEST_P(Locales, InfoJsonHasPointsIsoDatesAndNumbers)
{
    const Result r = run({QStringLiteral("info"), QStringLiteral("--address"), QStringLiteral("0x28"),
                          QStringLiteral("--json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject o = object(r.out);
    EXPECT_EQ(o[QStringLiteral("range")].toString(), QStringLiteral("0.000...10.000 PA"));
    EXPECT_EQ(o[QStringLiteral("range_low")].toDouble(-1), 0.0);
    EXPECT_EQ(o[QStringLiteral("range_high")].toDouble(), 10.0);
    EXPECT_EQ(o[QStringLiteral("unit")].toString(), QStringLiteral("bar"));
    EXPECT_EQ(o[QStringLiteral("mode")].toString(), QStringLiteral("PA"));
    EXPECT_EQ(o[QStringLiteral("mode_number")].toInt(-1), 1);
    EXPECT_EQ(o[QStringLiteral("calibration_date")].toString(), QStringLiteral("2019-04-07"));
    EXPECT_EQ(o[QStringLiteral("address_number")].toInt(), 0x28);
    ASSERT_TRUE(o[QStringLiteral("status_byte")].isDouble());
    EXPECT_EQ(T_OrvelDevice::status_text(uint8_t(o[QStringLiteral("status_byte")].toInt())),
              o[QStringLiteral("status")].toString());
    EXPECT_EQ(o[QStringLiteral("changes_left")].toInt(), 3);
    // equipment 7, place 56, file 1234: the words the product code F01234E07P0056 comes from
    const QJsonObject words = o[QStringLiteral("identity_words")].toObject();
    EXPECT_EQ(words.size(), 7);
    EXPECT_EQ(words[QStringLiteral("Cust_ID0")].toInt(), 0x1C38);
    EXPECT_EQ(words[QStringLiteral("Cust_ID1")].toInt(), 0x04D2);
}

TEST_P(Locales, ScanJsonOfANegativeRange)
{
    const Result r = run({QStringLiteral("scan"), QStringLiteral("--json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QList<QJsonObject> bus = objects(r.out);
    ASSERT_EQ(bus.size(), 4);
    const QJsonObject gauge = bus.at(3);
    EXPECT_EQ(gauge[QStringLiteral("range")].toString(), QStringLiteral("-1.000...1.000 PR"));
    EXPECT_EQ(gauge[QStringLiteral("range_low")].toDouble(), -1.0);
    EXPECT_EQ(gauge[QStringLiteral("calibration_date")].toString(), QStringLiteral("2022-11-21"));
}

TEST_P(Locales, MeasureLinesAndJsonWithAPoint)
{
    const QStringList args = {QStringLiteral("measure"), QStringLiteral("--address"), QStringLiteral("0x40"),
                              QStringLiteral("--count"), QStringLiteral("1")};
    const Result text = run(args);
    ASSERT_EQ(text.status, 0) << text.err.toStdString();
    const QStringList lines = text.lines();
    ASSERT_EQ(lines.size(), 2);
    // The gauge's fixed signal with the stored digits (3 for pressure, 2 for temperature).
    EXPECT_EQ(lines[1].split(u'\t').mid(1), (QStringList{QStringLiteral("-0.500"), QStringLiteral("6.40"),
                                                         QStringLiteral("24576"), QStringLiteral("18432")}))
        << lines[1].toStdString();

    const Result json = run(args + QStringList{QStringLiteral("--json")});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    EXPECT_TRUE(json.out.contains(QStringLiteral("\"pressure\":-0.5"))) << json.out.toStdString();
    EXPECT_EQ(object(json.out)[QStringLiteral("temperature")].toDouble(), 6.4);
}

TEST_P(Locales, DumpReaddressJournalAndRestoreJson)
{
    const Result dump = run({QStringLiteral("dump"), QStringLiteral("--address"), QStringLiteral("0x28"),
                             QStringLiteral("--json")});
    ASSERT_EQ(dump.status, 0) << dump.err.toStdString();
    const QJsonObject image = object(dump.out);
    EXPECT_EQ(image[QStringLiteral("current_page")].toInt(-1), 0);
    const QJsonArray words = image[QStringLiteral("words")].toArray();
    ASSERT_EQ(words.size(), 24);
    EXPECT_EQ(words[2][QStringLiteral("address")].toString(), QStringLiteral("0x02"));
    EXPECT_EQ(words[2][QStringLiteral("value")].toInt(-1), 0x28);

    const Result moved = run({QStringLiteral("readdress"), QStringLiteral("--address"), QStringLiteral("0x28"),
                              QStringLiteral("--to"), QStringLiteral("0x31"), QStringLiteral("--yes"),
                              QStringLiteral("--json")});
    ASSERT_EQ(moved.status, 0) << moved.err.toStdString();
    EXPECT_EQ(object(moved.out)[QStringLiteral("answers_at")].toString(), QStringLiteral("0x31"));

    const Result journal = run({QStringLiteral("journal"), QStringLiteral("--json")});
    ASSERT_EQ(journal.status, 0) << journal.err.toStdString();
    const QJsonObject attempt = object(journal.out);
    EXPECT_EQ(attempt[QStringLiteral("page_before")].toInt(-1), 0);
    EXPECT_EQ(attempt[QStringLiteral("page_after")].toInt(-1), 1);
    EXPECT_TRUE(QDateTime::fromString(attempt[QStringLiteral("time")].toString(), Qt::ISODateWithMs).isValid())
        << attempt[QStringLiteral("time")].toString().toStdString();

    const Result restored = run({QStringLiteral("restore"), QStringLiteral("--address"), QStringLiteral("0x31"),
                                 QStringLiteral("--image"), attempt[QStringLiteral("before_image")].toString(),
                                 QStringLiteral("--yes"), QStringLiteral("--json")});
    ASSERT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(object(restored.out)[QStringLiteral("answers_at")].toString(), QStringLiteral("0x28"));
}

INSTANTIATE_TEST_SUITE_P(Locale, Locales, ::testing::Values("C", "de_DE.UTF-8", "fr_FR.UTF-8"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             QString name = QLatin1String(info.param);
                             return name.remove(u'.').remove(u'-').toStdString();
                         });
