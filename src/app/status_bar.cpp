#include "app/status_bar.h"

#include "services/utils/locale_texts.h"
#include "services/log/logFile.h"
#include "views/instruments/shape.h"
#include "views/instruments/tcolor.h"
#include "services/settings/window_text.h"

#include <QDateTime>
#include <QLabel>

using window_text::tr_;

TStatusBar::TStatusBar(TShape &lamp, QLabel &left, QLabel &middle, QLabel &right)
    : f_lamp(lamp), f_left(left), f_middle(middle), f_right(right)
{
}

void TStatusBar::set_left(const QString &text)
{
    f_left.setText(text);
}

void TStatusBar::set_middle(const QString &text)
{
    f_middle.setText(text);
    // A long message is cut at the panel's edge instead of widening the window; the whole
    // text stays at hand.
    f_middle.setToolTip(text);
}

void TStatusBar::set_right(const QString &text)
{
    f_right.setText(text);
}

QString TStatusBar::middle() const
{
    return f_middle.text();
}

QColor TStatusBar::led_color(int index)
{
    switch (index) {
    case 1: return QColor(128, 255, 0);
    case 2: return QColor(255, 0, 0);
    case 3: return QColor(0, 165, 244);
    default: return QColor(0xF0, 0xF0, 0xF0); // the neutral button face
    }
}

void TStatusBar::set_led(int index)
{
    f_lamp.Set_brush_color(RgbToTColor(led_color(index).rgb()));
}

void TStatusBar::blink(bool &phase)
{
    phase = !phase;
    set_led(phase ? 3 : 1);
}

void TStatusBar::show_clock()
{
    set_right(locale_texts::clock(QDateTime::currentDateTime()));
}

void TStatusBar::show_adapter_problem(const session::ScanFailed &failed, TLogFile &log)
{
    const AdapterProblem problem = failed.library_missing    ? NoLibrary
                                   : !failed.adapter_open    ? NoAdapter
                                   : failed.adapter_lost     ? SilentAdapter
                                   : failed.arbitration_lost ? BusHeld
                                                             : NoProblem;
    // The log keeps its lines in English, the status bar speaks the user's language.
    QString logged;
    switch (problem) {
    case NoLibrary:
        // The adapter link has logged where the library is looked for.
        set_middle(tr_("no_adapter_library", "The IO-Warrior library libiowkit.so.1 is not installed"));
        break;
    case NoAdapter:
        set_middle(tr_("no_adapter", "No IO-Warrior adapter found"));
        logged = QStringLiteral("No IO-Warrior adapter found");
        break;
    case SilentAdapter:
        set_middle(tr_("adapter_silent", "The IO-Warrior adapter does not answer"));
        logged = QStringLiteral("The IO-Warrior adapter does not answer");
        break;
    case BusHeld:
        set_middle(tr_("bus_held", "The I2C bus is held: the IO-Warrior adapter loses arbitration on it"));
        logged = QStringLiteral("The I2C bus is held: the IO-Warrior adapter loses arbitration on it");
        break;
    case NoProblem:
        break;
    }
    if (problem != NoProblem)
        set_left(tr_("Error", "Error"));
    if (problem != f_adapter_problem && !logged.isEmpty())
        log.addEvent(catCommunication, lError, logged);
    f_adapter_problem = problem;
}
