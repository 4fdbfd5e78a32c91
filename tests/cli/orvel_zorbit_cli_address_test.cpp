// Every option that names a slave address takes it in hexadecimal with 0x, as the program
// shows addresses; a bare number is refused before the adapter is touched.
#include "cli_fixture.h"

#include <tuple>

namespace {

struct Spelling {
    const char *name;
    const char *text;
    const char *address; // the address it names; nullptr: refused
    const char *why;     // for a refused one: what the message says
};

// clang-format off
const Spelling Spellings[] = {
    {"Lower",       "0x28", "0x28", nullptr},
    {"Upper",       "0X28", "0x28", nullptr},
    {"OneDigit",    "0x0",  "0x00", nullptr},
    {"Highest",     "0x7F", "0x7F", nullptr},
    {"AboveRange",  "0x80", nullptr, "takes 0x00 to 0x7F, not \"0x80\""},
    {"Decimal",     "40",   nullptr, "takes a hexadecimal address such as 0x28; \"40\" would be read as decimal"},
    {"LeadingZero", "040",  nullptr, "takes a hexadecimal address such as 0x28; \"040\" would be read as decimal"},
    {"SuffixH",     "28h",  nullptr, "takes a hexadecimal address such as 0x28, not \"28h\""},
    {"Empty",       "",     nullptr, "takes a hexadecimal address such as 0x28, not \"\""},
    {"PrefixOnly",  "0x",   nullptr, "takes a hexadecimal address such as 0x28, not \"0x\""},
    {"NotHex",      "0xZZ", nullptr, "takes a hexadecimal address such as 0x28, not \"0xZZ\""},
};
// clang-format on

enum class Option { Address, To };

class AddressSpellings : public Cli, public ::testing::WithParamInterface<std::tuple<Option, Spelling>>
{
protected:
    static QString option() { return std::get<0>(GetParam()) == Option::Address ? QStringLiteral("--address") : QStringLiteral("--to"); }

    // `info` for --address; for --to a re-addressing of 0x28 that is declined on the terminal,
    // whose question or refusal names the new address.
    Result runWith(const QString &text)
    {
        if (std::get<0>(GetParam()) == Option::Address)
            return run({QStringLiteral("info"), QStringLiteral("--address"), text});
        return run({QStringLiteral("readdress"), QStringLiteral("--address"), QStringLiteral("0x28"),
                    QStringLiteral("--to"), text},
                   "n\n");
    }
};

} // namespace

TEST_P(AddressSpellings, OnlyHexadecimalWithPrefixIsTaken)
{
    const Spelling &s = std::get<1>(GetParam());
    const Result r = runWith(QString::fromLatin1(s.text));
    EXPECT_FALSE(r.crashed);
    if (!s.address) {
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, QString());
        EXPECT_EQ(r.err, QStringLiteral("orvel-zorbit-cli: ") + option() + u' ' + QLatin1String(s.why) +
                             QStringLiteral(" (see --help)\n"));
        EXPECT_FALSE(QFile::exists(statePath())) << "the adapter was not touched";
        return;
    }
    const QString address = QLatin1String(s.address);
    if (std::get<0>(GetParam()) == Option::Address) {
        if (r.status == 0) {
            EXPECT_TRUE(r.lines().value(1).startsWith(address + u' ')) << r.out.toStdString();
        } else {
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err, QStringLiteral("No transmitter answers at ") + address + u'\n');
        }
        EXPECT_EQ(r.status == 0, address != QLatin1String("0x7F")) << "nothing answers at 0x7F on the demo bus";
    } else {
        // In use on the demo bus: refused by name; free: asked for by name and declined.
        EXPECT_EQ(r.status, 1);
        const bool inUse = address != QLatin1String("0x7F");
        EXPECT_TRUE(r.err.contains(inUse ? QStringLiteral("Refused: the address ") + address + QStringLiteral(" is in use")
                                         : QStringLiteral("new slave address: ") + address))
            << r.err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Address, AddressSpellings,
                         ::testing::Combine(::testing::Values(Option::Address, Option::To), ::testing::ValuesIn(Spellings)),
                         [](const ::testing::TestParamInfo<std::tuple<Option, Spelling>> &info) {
                             return std::string(std::get<0>(info.param) == Option::Address ? "Address" : "To") +
                                    std::get<1>(info.param).name;
                         });
