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

namespace {

// The words of `text` found by their address column, and which of them were given.
struct Words {
    QSet<int> given;
    int twice = -1; // the first word given more than once
};

Words parse_words(const QString &text, T_DeviceMemory &image)
{
    static const QRegularExpression hex(QStringLiteral("^0[xX]([0-9A-Fa-f]{1,4})$"));
    Words words;
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
        if (words.twice < 0 && words.given.contains(a))
            words.twice = a;
        words.given.insert(a);
        image.at(a).setValue(uint16_t(value.captured(1).toUInt(nullptr, 16)));
    }
    bool complete = words.twice < 0 && !words.given.isEmpty();
    for (int a = 0; a < OrvelWords::Checksum; ++a)
        complete = complete && words.given.contains(a);
    image.Set_complete(complete);
    return words;
}

QString hex4(uint16_t value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(4, u'0');
}

} // namespace

QString parse(const QString &text, T_DeviceMemory &image)
{
    if (parse_words(text, image).given.isEmpty())
        return QStringLiteral("no memory words in it");
    return {};
}

uint16_t chip_checksum(const T_DeviceMemory &image)
{
    uint16_t crc = 0xFFFF;
    for (int a = 0; a < OrvelWords::Checksum; ++a) {
        for (const uint8_t byte : {image.at(a).Get_hByte(), image.at(a).Get_lByte()}) {
            crc ^= uint16_t(byte << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = uint16_t((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

QString read(const QByteArray &bytes, T_DeviceMemory &image)
{
    image.Set_complete(false);
    if (bytes.size() > MaxFileSize)
        return QStringLiteral("too large for a memory image");
    const Words words = parse_words(QString::fromUtf8(bytes), image);
    if (words.given.isEmpty())
        return QStringLiteral("no memory words in it");
    if (words.twice >= 0)
        return QStringLiteral("the word ") + image.at(words.twice).Get_name() + QStringLiteral(" is in it twice");
    for (int a = 0; a < OrvelWords::Checksum; ++a)
        if (!words.given.contains(a))
            return QStringLiteral("the word ") + image.at(a).Get_name() + QStringLiteral(" is missing");
    // Without its checksum nothing tells a file altered or cut short from the image it was.
    if (!words.given.contains(OrvelWords::Checksum)) {
        image.Set_complete(false);
        return QStringLiteral("it has no Checksum line");
    }
    const uint16_t expected = chip_checksum(image);
    if (image.at(OrvelWords::Checksum).value() != expected) {
        image.Set_complete(false);
        return QStringLiteral("its Checksum ") + hex4(image.at(OrvelWords::Checksum).value()) +
               QStringLiteral(" does not match its words (") + hex4(expected) + u')';
    }
    return {};
}

QString save(const QString &fileName, const T_DeviceMemory &image)
{
    return file_commit::replace(fileName, text(image).toUtf8());
}

QString load(const QString &fileName, T_DeviceMemory &image)
{
    image.Set_complete(false);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fileName + QStringLiteral(": ") + file.errorString();
    // One byte more than taken, so that a larger file is told, not cut.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return fileName + QStringLiteral(": ") + file.errorString();
    const QString why = read(bytes, image);
    return why.isEmpty() ? why : fileName + QStringLiteral(": ") + why;
}

} // namespace memory_image_file
