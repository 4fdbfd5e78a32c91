#include "services/dialogs/themes.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <optional>

namespace themes {

namespace {

// The platform's own look, as it was before any theme replaced it.
struct SystemLookState {
    QString styleKey;
    QPalette palette;
};

const SystemLookState &systemLook()
{
    static const SystemLookState state{QApplication::style()->name(), QApplication::palette()};
    return state;
}

QString &activeNameRef()
{
    static QString name = SystemLook;
    return name;
}

} // namespace

QStringList names() { return QStringList{SystemLook} + themeNames(); }

bool apply(const QString &name)
{
    const SystemLookState &system = systemLook();
    std::optional<QPalette> palette;
    QString styleKey;
    if (name == SystemLook) {
        palette = system.palette;
        styleKey = system.styleKey;
    } else {
        palette = themePalette(name);
        styleKey = themeStyleKey(name);
    }
    if (!palette)
        return false;
    QStyle *style = QStyleFactory::create(styleKey);
    if (!style)
        return false;
    QApplication::setStyle(style);
    QApplication::setPalette(*palette);
    activeNameRef() = name;
    return true;
}

QString activeName() { return activeNameRef(); }

} // namespace themes
