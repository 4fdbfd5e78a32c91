#include "transmitter/memory_image_file.h"

#include "transmitter/OrvelMemory.h"
#include "services/utils/file_commit.h"
#include "transmitter/memory_map_text.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace memory_image_file {

QString text(const T_DeviceMemory &image)
{
    QList<QStringList> rows;
    QStringList header;
    for (int column = 0; column < memory_map_text::ColumnCount; ++column)
        header << memory_map_text::header_text(column);
    rows << header;
    for (int address = 0; address < T_DeviceMemory::RegisterCount; ++address) {
        const memory_map_text::RegisterRow row = memory_map_text::register_row(image.at(address));
        rows << QStringList{memory_map_text::row_label(address + 1), row.name, row.address, row.value, QString(), QString()};
    }
    return memory_map_text::clipboard_text(rows);
}

QString parse(const QString &text, T_DeviceMemory &image)
{
    static const QRegularExpression hex(QStringLiteral("^0[xX]([0-9A-Fa-f]{1,4})$"));
    QSet<int> given;
    bool twice = false;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QStringList cells = line.trimmed().split(QLatin1Char('\t'));
        if (cells.size() < 3)
            continue;
        const QRegularExpressionMatch address = hex.match(cells[1].trimmed());
        const QRegularExpressionMatch value = hex.match(cells[2].trimmed());
        if (!address.hasMatch() || !value.hasMatch())
            continue; // the header, or no word
        const int a = address.captured(1).toInt(nullptr, 16);
        if (a >= T_DeviceMemory::RegisterCount || image.at(a).Get_name() != cells[0].trimmed())
            continue;
        twice = twice || given.contains(a);
        given.insert(a);
        image.at(a).setValue(uint16_t(value.captured(1).toUInt(nullptr, 16)));
    }
    if (given.isEmpty()) {
        image.Set_complete(false);
        return QStringLiteral("no memory words in it");
    }
    bool complete = !twice;
    for (int a = 0; a < OrvelWords::Checksum; ++a)
        complete = complete && given.contains(a);
    image.Set_complete(complete);
    return {};
}

QString save(const QString &fileName, const T_DeviceMemory &image)
{
    return file_commit::replace(fileName, text(image).toUtf8());
}

QString load(const QString &fileName, T_DeviceMemory &image)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fileName + QStringLiteral(": ") + file.errorString();
    const QString why = parse(QString::fromUtf8(file.read(64 * 1024)), image);
    return why.isEmpty() ? why : fileName + QStringLiteral(": ") + why;
}

} // namespace memory_image_file
