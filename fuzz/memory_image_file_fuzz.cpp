// A memory image file as anything may leave it: the checked read never fails silently. An
// image it takes is whole, carries the chip's checksum and reads back the same from the text
// the program writes; one it refuses says why in one line and is never complete.
#include "transmitter/OrvelMemory.h"
#include "transmitter/memory_image_file.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    T_DeviceMemory image;
    const QString why = memory_image_file::read(bytes, image);
    if (!why.isEmpty()) {
        FUZZ_CHECK(!image.Get_complete());
        FUZZ_CHECK(!why.contains(u'\n') && !why.contains(u'\r'));
        return 0;
    }
    FUZZ_CHECK(image.Get_complete());
    FUZZ_CHECK(image.at(OrvelWords::Checksum).value() == memory_image_file::chip_checksum(image));

    T_DeviceMemory again;
    FUZZ_CHECK(memory_image_file::read(memory_image_file::text(image).toUtf8(), again).isEmpty());
    for (int a = 0; a < T_DeviceMemory::RegisterCount; ++a)
        FUZZ_CHECK(again.at(a).value() == image.at(a).value());

    // The lenient parse, used for what is only shown, takes whatever the checked read takes.
    T_DeviceMemory shown;
    FUZZ_CHECK(memory_image_file::parse(QString::fromUtf8(bytes), shown).isEmpty());
    FUZZ_CHECK(shown.Get_complete());
    return 0;
}
