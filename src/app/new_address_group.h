// The "New Slave Address" group: the addresses offered, the user's pick, and what it says about
// the changes left with its picture and button. Main thread only.
#pragma once

#include "transmitter/OrvelHandler.h"

#include <QList>
#include <QString>
#include <optional>

class QAbstractButton;
class QAction;
class QComboBox;
class QLabel;

class TNewAddressGroup
{
public:
    // `offered` and `picked` are the window's list of offered addresses and the text of the
    // user's last pick. The button is enabled only while `change` is and an address is picked.
    TNewAddressGroup(QList<T_SlaveAddr> &offered, QString &picked, QComboBox &combo, QLabel &text, QLabel &number,
                     QAbstractButton &button, QAction &change);

    // Every address nobody on the bus answers at (`bus`, and `own`, the selected transmitter's);
    // the last pick stays picked where it can.
    void offer_free_addresses(const QList<int> &bus, int own);
    void pick(int index);
    // The address picked in the list; none before the user picked one.
    std::optional<T_SlaveAddr> target() const;
    // After a change of address the next one is picked afresh.
    void forget_pick() { f_picked.clear(); }

    // `state` as changes_left::look takes it; kept for show_again.
    void show_changes_left(int state);
    // The last state once more: in a new language, or after the user picked an address.
    void show_again() { show_changes_left(f_shown); }
    int shown() const { return f_shown; }

private:
    QList<T_SlaveAddr> &f_offered;
    QString &f_picked;
    QComboBox &f_combo;
    QLabel &f_text;
    QLabel &f_number;
    QAbstractButton &f_button;
    QAction &f_change;
    int f_shown;
};
