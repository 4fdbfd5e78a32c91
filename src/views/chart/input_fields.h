#pragma once
// Number entry in the chart settings panel: which typed characters an edit field takes, and how
// its text is read when committed. Stateless; callable from any thread.
#include <QChar>
#include <QString>

namespace input_fields {

// True when the typed character is to be swallowed: a second decimal separator, a second "-",
// anything but backspace, "-", a digit and the separator, and every character above code 255.
bool filter_numeric_key(QChar typed, const QString &text, QChar decimal_separator);

// Axis limits: every character but a digit, "+" or "-" is the separator.
bool read_limit(const QString &text, double &value);
// Label steps: the locale's number format only.
bool read_increment(const QString &text, double &value);

} // namespace input_fields
