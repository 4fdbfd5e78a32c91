#include "app/device_texts.h"

namespace device_texts {

QString status_text(uint8_t status, const window_text::Translate &tr)
{
    if (!(status & 0x40))
        return tr("status_hw_error", "Hardware Error Powered");
    QString text;
    switch ((status >> 3) & 0x03) {
    case 0: text = tr("status_normal", "Normal Mode"); break;
    case 1: text = tr("status_command", "Command Mode"); break;
    case 2: text = tr("status_reserved", "ZMD Reserved"); break;
    default: text = tr("status_command_reserved", "Command Mode and Reserved"); break;
    }
    if (status & 0x20)
        text += QStringLiteral("| ") + tr("status_busy", "Busy");
    if (status & 0x04)
        text += QStringLiteral("| ") + tr("status_memory_error", "Memory Error");
    if (status & 0x02)
        text += QStringLiteral("| ") + tr("status_special_error", "Special Error");
    return text;
}

} // namespace device_texts
