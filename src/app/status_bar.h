// The main window's status bar: the lamp, the short and long texts and the clock, and the word
// on an adapter that is missing or silent or a bus held by another master. Main thread only.
#pragma once

#include "session/session_records.h"

#include <QColor>
#include <QString>

class QLabel;
class TLogFile;
class TShape;

class TStatusBar
{
public:
    TStatusBar(TShape &lamp, QLabel &left, QLabel &middle, QLabel &right);

    void set_left(const QString &text);
    void set_middle(const QString &text);
    void set_right(const QString &text);
    QString middle() const;

    // The lamp colours by index: neutral, green, red, blue.
    static QColor led_color(int index);
    void set_led(int index);
    // Every displayed measurement turns `phase` over and the lamp with it: blue, then green.
    void blink(bool &phase);
    void show_clock();

    // Says why nothing is found when the adapter or the bus is the reason, as the scan reports
    // it; `log` is told once per problem.
    void show_adapter_problem(const session::ScanFailed &failed, TLogFile &log);
    // A transmitter answered: the adapter is fine again.
    void adapter_found() { f_adapter_problem = NoProblem; }

private:
    enum AdapterProblem { NoProblem, NoLibrary, NoAdapter, SilentAdapter, BusHeld };

    TShape &f_lamp;
    QLabel &f_left;
    QLabel &f_middle;
    QLabel &f_right;
    AdapterProblem f_adapter_problem = NoProblem;
};
