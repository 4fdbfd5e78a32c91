// The device panel's words for the transmitter's status byte, in the current language; the
// same rules as the model's English text. Widget-free.
#pragma once

#include "services/settings/window_text.h"

#include <QString>
#include <cstdint>

namespace device_texts {

QString status_text(uint8_t status, const window_text::Translate &tr);

} // namespace device_texts
