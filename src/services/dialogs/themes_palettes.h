// The visual themes the application carries: their names in list order and their colours.
// Widget-free; constant data and pure functions.
#pragma once

#include <QPalette>
#include <QString>
#include <QStringList>
#include <optional>

namespace themes {

// The theme of the entry sequence; the stored style index 3 names it.
inline const QString StartupTheme = QStringLiteral("Amethyst Kamri");
// The list entry of the platform's own look, before the themes.
inline const QString SystemLook = QStringLiteral("System");

// The five themes in the order they follow the platform's look.
const QStringList &themeNames();

// The few colours a theme is made of; the palette derives the rest.
struct ThemeColours {
    QColor window;
    QColor text;
    QColor base;
    QColor alternateBase;
    QColor button;
    QColor highlight;
    QColor highlightedText;
    QColor link;
    bool dark;
};

std::optional<ThemeColours> themeColours(const QString &name);
// Every role of every colour group; none for a name that is not a theme.
std::optional<QPalette> themePalette(const QString &name);
// The base style a theme draws with.
QString themeStyleKey(const QString &name);

} // namespace themes
