#include "app/new_address_group.h"

#include "app/changes_left.h"
#include "app/number_pictures.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QSet>

TNewAddressGroup::TNewAddressGroup(QList<T_SlaveAddr> &offered, QString &picked, QComboBox &combo, QLabel &text,
                                   QLabel &number, QAbstractButton &button, QAction &change)
    : f_offered(offered), f_picked(picked), f_combo(combo), f_text(text), f_number(number),
      f_button(button), f_change(change), f_shown(changes_left::NoneShown)
{
}

void TNewAddressGroup::offer_free_addresses(const QList<int> &bus, int own)
{
    // Every address that answered is taken: offering one would make two transmitters clash.
    QSet<int> taken(bus.begin(), bus.end());
    taken.insert(own);
    f_offered.clear();
    f_combo.clear();
    for (int a = 0; a <= 0x7F; ++a) {
        if (taken.contains(a))
            continue;
        T_SlaveAddr entry;
        entry.Set_int_Addr(a);
        f_offered.append(entry);
        f_combo.addItem(entry.Get_hex_addr());
    }
    // No entry is picked for the user: the first one is the general-call address 0x00.
    f_combo.setCurrentIndex(f_combo.findText(f_picked));
    show_again();
}

void TNewAddressGroup::pick(int index)
{
    f_picked = f_combo.itemText(index);
    show_again();
}

std::optional<T_SlaveAddr> TNewAddressGroup::target() const
{
    const int index = f_combo.currentIndex();
    if (index < 0 || index >= f_offered.size())
        return std::nullopt;
    return f_offered[index];
}

void TNewAddressGroup::show_changes_left(int state)
{
    f_shown = state;
    const changes_left::Look look = changes_left::look(state, window_text::tr_);
    f_text.setText(look.text);
    f_button.setEnabled(look.change_allowed && f_change.isEnabled() && f_combo.currentIndex() >= 0);
    f_number.setPixmap(QPixmap::fromImage(number_pictures::picture(look.picture)));
}
