// Command-line companion of the window: scan, read, re-address, restore and measure through the
// same procedures, for scripts and production lines. Exit status 0 success, 1 the adapter or the
// transmitter failed, 2 usage error, 128 + the signal's number when interrupted outside a write.
#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "cli/cli_signals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <climits>
#include <functional>
#include <utility>
#include <vector>

namespace {

using cli_commands::Options;
using cli_output::out;

// What a command does with the adapters: --serial chooses one, --verbose shows the traffic.
enum class Uses { None, All, One };

struct Command {
    const char *description;
    bool address;  // --address required
    bool to;       // --to required
    bool image;    // --image required
    bool confirms; // --yes
    bool measures; // --count, --interval
    std::function<int(const Options &)> run;
    Uses adapter = Uses::One;
    bool exports = false; // `export RUN --csv FILE`
};

// In the order of a transmitter's way through production, which the overview keeps.
const std::vector<std::pair<QString, Command>> &commands()
{
    static const std::vector<std::pair<QString, Command>> list = {
        {QStringLiteral("scan"),
         {"Every transmitter on the bus: address, range, calibration date, product code, status and "
          "changes left.",
          false, false, false, false, false, cli_commands::scan}},
        {QStringLiteral("info"), {"The same for the transmitter at --address.", true, false, false, false, false,
                                  cli_commands::info}},
        {QStringLiteral("dump"),
         {"The memory image of the transmitter at --address, one word a line, in the layout the memory map "
          "window copies.",
          true, false, false, false, false, cli_commands::dump}},
        {QStringLiteral("measure"),
         {"Measures at --address, one line a measurement (time, pressure, temperature, raw values) until "
          "--count measurements or Ctrl-C.",
          true, false, false, false, true, cli_commands::measure}},
        {QStringLiteral("readdress"),
         {"Gives the transmitter at --address the new address --to, with the checks and steps of the window. "
          "Asks for confirmation unless --yes. Every attempt is journalled.",
          true, true, false, true, false, cli_commands::readdress}},
        {QStringLiteral("restore"),
         {"Writes a saved memory image (--image, for example a before-image of the journal) back to the "
          "transmitter at --address, which must carry the image's product code. Uses up one change. Asks "
          "for confirmation unless --yes.",
          true, false, true, true, false, cli_commands::restore}},
        {QStringLiteral("journal"),
         {"The journal of every re-addressing and restore attempt, newest first, with the before-image of "
          "each; an attempt cut off while it wrote shows as interrupted.",
          false, false, false, false, false, cli_commands::journal, Uses::None}},
        {QStringLiteral("runs"),
         {"The recorded runs, newest first: start, end, transmitter and number of measurements. "
          "'runs export RUN --csv FILE' writes run RUN (its number or uid) to FILE as the table window saves it.",
          false, false, false, false, false, cli_commands::runs, Uses::None, true}},
        {QStringLiteral("adapters"),
         {"Every IO-Warrior adapter attached: serial number, product id and whether it is an IO-Warrior 56.",
          false, false, false, false, false, cli_commands::adapters, Uses::All}},
    };
    return list;
}

QString overview()
{
    QString text = QStringLiteral("Usage: orvel-zorbit-cli <command> [options]\n\n"
                                  "Talks to Orvel transmitters through the IO-Warrior 56 adapter, like the window "
                                  "Orvel I2C Zorbit, which must not run at the same time.\n\nCommands:\n");
    for (const auto &[name, command] : commands())
        text += QStringLiteral("  ") + name.leftJustified(11) + QString::fromLatin1(command.description) + u'\n';
    text += QStringLiteral("\n'orvel-zorbit-cli <command> --help' tells the options of a command.\n"
                           "Exit status: 0 success, 1 the adapter or a transmitter failed, 2 usage error, 128 + the "
                           "signal's number when interrupted before anything was written (130 for Ctrl-C).\n"
                           "A signal during a write waits until the procedure has ended.");
    return text;
}

int usage(const QString &message)
{
    cli_output::error(cli_output::Kind::Usage, QStringLiteral("orvel-zorbit-cli: ") + message + QStringLiteral(" (see --help)"),
                      cli_commands::Usage);
    return cli_commands::Usage;
}

// A whole number from `lowest` to INT_MAX; else the option's usage error.
bool parse_number(const QString &text, int lowest, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= lowest;
}

QString range_error(const char *option, const char *what, int lowest)
{
    return QLatin1String(option) + QStringLiteral(" wants ") + QLatin1String(what) + QStringLiteral(" from ") +
           QString::number(lowest) + QStringLiteral(" to ") + QString::number(INT_MAX);
}

// Qt's help names the binary by the path it was started with; a command's help names it as
// the user types it.
QString command_help(const QCommandLineParser &parser, const QString &name, const Command &command)
{
    const QString text = parser.helpText().trimmed();
    const qsizetype lineEnd = text.indexOf(u'\n');
    QString usage = QStringLiteral("Usage: orvel-zorbit-cli ") + name + QStringLiteral(" [options]");
    if (command.exports)
        usage += QStringLiteral("\n       orvel-zorbit-cli ") + name + QStringLiteral(" export RUN --csv FILE [options]");
    return usage + (lineEnd < 0 ? QString() : text.mid(lineEnd));
}

} // namespace

int main(int argc, char *argv[])
{
    // Before any thread starts, so that a write is never cut by a signal.
    cli_signals::install();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvel-zorbit-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.3"));
    const QStringList args = QCoreApplication::arguments();
    // Before anything can fail, so that even a usage error is told as JSON.
    cli_output::set_json(args.contains(QStringLiteral("--json")));

    QString name;
    for (qsizetype i = 1; i < args.size() && name.isEmpty(); ++i)
        if (!args[i].startsWith(u'-'))
            name = args[i];
    if (name.isEmpty()) {
        if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
            out(overview());
            return cli_commands::Ok;
        }
        if (args.contains(QStringLiteral("--version"))) {
            out(QStringLiteral("orvel-zorbit-cli 1.3"));
            return cli_commands::Ok;
        }
        return usage(QStringLiteral("no command given"));
    }
    const auto found = std::find_if(commands().begin(), commands().end(),
                                    [&](const auto &entry) { return entry.first == name; });
    if (found == commands().end())
        return usage(QStringLiteral("unknown command '") + name + u'\'');
    const Command &command = found->second;

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(command.description));
    parser.addPositionalArgument(name, QStringLiteral("The command."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("JSON output instead of a table."));
    const QCommandLineOption address(QStringLiteral("address"),
                                     QStringLiteral("Slave address of the transmitter in hexadecimal, 0x00 to 0x7F."),
                                     QStringLiteral("A"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("The new slave address in hexadecimal, 0x00 to 0x7F."),
                                QStringLiteral("B"));
    const QCommandLineOption image(QStringLiteral("image"), QStringLiteral("Saved memory image file."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("No question on the terminal."));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Number of measurements."),
                                   QStringLiteral("N"));
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      QStringLiteral("Milliseconds between measurements, 10 or more (500)."),
                                      QStringLiteral("MS"));
    const QCommandLineOption record(QStringLiteral("record"),
                                    QStringLiteral("Records the measurements in the file of recorded runs too."));
    const QCommandLineOption serial(
        QStringLiteral("serial"),
        QStringLiteral("Serial number of the IO-Warrior adapter to use, as 'adapters' lists it (default: the first)."),
        QStringLiteral("S"));
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QStringLiteral("export: the file to write, tab-separated as the table window saves "
                                                "it; replaced only once it is complete."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption verbose({QStringLiteral("v"), QStringLiteral("verbose")},
                                     QStringLiteral("Writes each report to the adapter (>>) and from it (<<) in "
                                                    "hexadecimal, and the log lines, on standard error."));
    parser.addOption(help);
    parser.addOption(json);
    if (command.adapter == Uses::One)
        parser.addOption(serial);
    if (command.adapter != Uses::None)
        parser.addOption(verbose);
    if (command.address)
        parser.addOption(address);
    if (command.to)
        parser.addOption(to);
    if (command.image)
        parser.addOption(image);
    if (command.confirms)
        parser.addOption(yes);
    if (command.measures) {
        parser.addOption(count);
        parser.addOption(interval);
        parser.addOption(record);
    }
    if (command.exports) {
        parser.addPositionalArgument(QStringLiteral("export RUN"),
                                     QStringLiteral("Writes run RUN, its number or uid as the list shows them, to the "
                                                    "file --csv."),
                                     QStringLiteral("[export RUN]"));
        parser.addOption(csv);
    }
    if (!parser.parse(args))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        out(command_help(parser, name, command));
        return cli_commands::Ok;
    }

    Options o;
    const QStringList positional = parser.positionalArguments();
    if (command.exports && positional.value(1) == QLatin1String("export")) {
        if (positional.size() < 3 || positional[2].trimmed().isEmpty())
            return usage(QStringLiteral("export wants the run's number or uid"));
        if (positional.size() > 3)
            return usage(QStringLiteral("unexpected argument '") + positional[3] + u'\'');
        if (!parser.isSet(csv) || parser.value(csv).isEmpty())
            return usage(QStringLiteral("--csv is required"));
        o.run = positional[2].trimmed();
        o.csv = parser.value(csv);
    } else if (positional != QStringList{name}) {
        return usage(QStringLiteral("unexpected argument '") + positional.value(1) + u'\'');
    } else if (command.exports && parser.isSet(csv)) {
        return usage(QStringLiteral("--csv belongs to 'export RUN'"));
    }

    o.json = parser.isSet(json);
    o.yes = command.confirms && parser.isSet(yes);
    o.verbose = command.adapter != Uses::None && parser.isSet(verbose);
    if (command.adapter == Uses::One && parser.isSet(serial)) {
        o.serial = parser.value(serial).trimmed();
        if (o.serial.isEmpty())
            return usage(QStringLiteral("--serial wants the adapter's serial number"));
    }
    if (command.address) {
        if (!parser.isSet(address))
            return usage(QStringLiteral("--address is required"));
        o.address = cli_output::parse_address(parser.value(address));
        if (o.address < 0)
            return usage(cli_output::address_error(QStringLiteral("--address"), parser.value(address)));
    }
    if (command.to) {
        if (!parser.isSet(to))
            return usage(QStringLiteral("--to is required"));
        o.to = cli_output::parse_address(parser.value(to));
        if (o.to < 0)
            return usage(cli_output::address_error(QStringLiteral("--to"), parser.value(to)));
    }
    if (command.image) {
        if (!parser.isSet(image))
            return usage(QStringLiteral("--image is required"));
        o.image = parser.value(image);
    }
    if (command.measures) {
        if (parser.isSet(count) && !parse_number(parser.value(count), 1, o.count))
            return usage(range_error("--count", "a whole number", 1));
        if (parser.isSet(interval) && !parse_number(parser.value(interval), 10, o.interval))
            return usage(range_error("--interval", "milliseconds", 10));
        o.record = parser.isSet(record);
    }
    return command.run(o);
}
