#include "transmitter/memory_map_text.h"

#include "transmitter/OrvelMemory.h"
#include "services/utils/crlf_text.h"

#include <algorithm>

namespace memory_map_text {

QString format_word(const T_32Bit &reg)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(reg.value(), 4, 16, QLatin1Char('0')).toUpper();
}

QString format_address(int address)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper();
}

QString row_label(int row)
{
    return QStringLiteral("#") + QString::number(row);
}

QString header_text(int column)
{
    switch (column) {
    case NameColumn: return QStringLiteral("Name");
    case AddressColumn: return QStringLiteral("Address");
    case ValueColumn: return QStringLiteral("Value");
    case VerifyColumn: return QStringLiteral("Verify");
    default: return {};
    }
}

RegisterRow register_row(const T_32Bit &reg)
{
    return {reg.Get_name(), format_address(reg.Get_addr()), format_word(reg)};
}

int name_column_width(const QStringList &names)
{
    qsizetype longest = 0;
    for (const QString &name : names)
        longest = std::max(longest, name.size());
    return PixelsPerNameCharacter * int(longest);
}

QString clipboard_text(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &row : rows) {
        QString line = row.value(NameColumn);
        for (int column = AddressColumn; column < ColumnCount; ++column)
            line += QLatin1Char('\t') + row.value(column);
        lines.append(line);
    }
    return crlf_text(lines);
}

} // namespace memory_map_text
