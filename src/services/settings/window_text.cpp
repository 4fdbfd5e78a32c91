#include "services/settings/window_text.h"

#include "services/settings/Translator.h"

namespace window_text {

QString tr_(const char *key, const char *defaultText)
{
    return TTranslator::getInstance()->translate(QString::fromLatin1(key), QString::fromUtf8(defaultText));
}

} // namespace window_text
