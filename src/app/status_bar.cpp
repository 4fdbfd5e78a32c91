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

void TStatusBar::show_adapter_problem(bool adapterOpen, bool adapterLost, TLogFile &log)
{
    const AdapterProblem problem = !adapterOpen ? NoAdapter : adapterLost ? SilentAdapter : NoProblem;
    if (problem != NoProblem) {
        set_left(tr_("Error", "Error"));
        set_middle(problem == NoAdapter ? tr_("no_adapter", "No IO-Warrior adapter found")
                                        : tr_("adapter_silent", "The IO-Warrior adapter does not answer"));
    }
    if (problem != f_adapter_problem && problem != NoProblem)
        log.addEvent(catCommunication, lError,
                     problem == NoAdapter ? QStringLiteral("No IO-Warrior adapter found")
                                          : QStringLiteral("The IO-Warrior adapter does not answer"));
    f_adapter_problem = problem;
}
