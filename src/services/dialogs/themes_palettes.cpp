#include "services/dialogs/themes_palettes.h"

#include <array>

namespace themes {

namespace {

struct Theme {
    const char *name;
    ThemeColours colours;
    const char *styleKey;
};

// Quiet surfaces, one accent each; text contrast stays well above what reading needs.
const std::array<Theme, 5> &themes()
{
    static const std::array<Theme, 5> list{{
        {"Aqua Light Slate",
         {QColor(0xE4, 0xEA, 0xEE), QColor(0x1B, 0x28, 0x31), QColor(0xFF, 0xFF, 0xFF), QColor(0xEF, 0xF4, 0xF7),
          QColor(0xD6, 0xDF, 0xE5), QColor(0x1B, 0x7E, 0x99), QColor(0xFF, 0xFF, 0xFF), QColor(0x15, 0x6B, 0x82),
          false},
         "Fusion"},
        {"Auric",
         {QColor(0x30, 0x2C, 0x27), QColor(0xEE, 0xE7, 0xD8), QColor(0x24, 0x21, 0x1D), QColor(0x2C, 0x29, 0x24),
          QColor(0x3D, 0x38, 0x31), QColor(0xC8, 0xA0, 0x3C), QColor(0x1F, 0x1A, 0x10), QColor(0xE2, 0xC0, 0x62),
          true},
         "Fusion"},
        {"Amethyst Kamri",
         {QColor(0xEE, 0xE7, 0xEF), QColor(0x26, 0x1A, 0x2C), QColor(0xFF, 0xFF, 0xFF), QColor(0xF8, 0xF3, 0xF8),
          QColor(0xE3, 0xD7, 0xE6), QColor(0x74, 0x3F, 0x8C), QColor(0xFF, 0xFF, 0xFF), QColor(0x6A, 0x35, 0x82),
          false},
         "Fusion"},
        {"Carbon",
         {QColor(0x2B, 0x2D, 0x30), QColor(0xE4, 0xE6, 0xE9), QColor(0x1E, 0x20, 0x22), QColor(0x26, 0x28, 0x2B),
          QColor(0x38, 0x3B, 0x3F), QColor(0x33, 0x6F, 0xA6), QColor(0xFF, 0xFF, 0xFF), QColor(0x72, 0xB2, 0xE8),
          true},
         "Fusion"},
        {"Lavender Classico",
         {QColor(0xE4, 0xE5, 0xF3), QColor(0x1B, 0x1D, 0x36), QColor(0xFF, 0xFF, 0xFF), QColor(0xF0, 0xF1, 0xFA),
          QColor(0xD6, 0xD8, 0xEE), QColor(0x4C, 0x58, 0xA8), QColor(0xFF, 0xFF, 0xFF), QColor(0x3F, 0x4A, 0x9C),
          false},
         "Fusion"},
    }};
    return list;
}

const Theme *find(const QString &name)
{
    for (const Theme &theme : themes())
        if (name == QLatin1String(theme.name))
            return &theme;
    return nullptr;
}

QColor mix(const QColor &a, const QColor &b, qreal share_of_b)
{
    const qreal s = share_of_b;
    return QColor::fromRgbF(float(a.redF() * (1 - s) + b.redF() * s), float(a.greenF() * (1 - s) + b.greenF() * s),
                            float(a.blueF() * (1 - s) + b.blueF() * s));
}

void setGroup(QPalette &palette, QPalette::ColorGroup group, const ThemeColours &c, bool disabled)
{
    const QColor text = disabled ? mix(c.text, c.window, 0.55) : c.text;
    const QColor baseText = disabled ? mix(c.text, c.base, 0.55) : c.text;
    // Bevel shades, lighter above and darker below the button face, whatever the theme.
    const QColor light = c.dark ? c.button.lighter(150) : c.button.lighter(125);
    const QColor dark = c.dark ? c.button.darker(170) : c.button.darker(160);
    palette.setColor(group, QPalette::Window, c.window);
    palette.setColor(group, QPalette::WindowText, text);
    palette.setColor(group, QPalette::Base, disabled ? c.window : c.base);
    palette.setColor(group, QPalette::AlternateBase, c.alternateBase);
    palette.setColor(group, QPalette::Text, baseText);
    palette.setColor(group, QPalette::Button, c.button);
    palette.setColor(group, QPalette::ButtonText, text);
    palette.setColor(group, QPalette::BrightText, c.dark ? QColor(0xFF, 0x8A, 0x80) : QColor(0xC6, 0x28, 0x28));
    palette.setColor(group, QPalette::Light, light);
    palette.setColor(group, QPalette::Midlight, mix(c.button, light, 0.5));
    palette.setColor(group, QPalette::Mid, mix(c.button, dark, 0.5));
    palette.setColor(group, QPalette::Dark, dark);
    palette.setColor(group, QPalette::Shadow, c.dark ? QColor(0x0A, 0x0A, 0x0B) : c.button.darker(300));
    palette.setColor(group, QPalette::Highlight, disabled ? mix(c.highlight, c.window, 0.5) : c.highlight);
    palette.setColor(group, QPalette::HighlightedText, disabled ? mix(c.highlightedText, c.highlight, 0.4)
                                                                : c.highlightedText);
    palette.setColor(group, QPalette::Link, c.link);
    palette.setColor(group, QPalette::LinkVisited, mix(c.link, c.text, 0.35));
    palette.setColor(group, QPalette::ToolTipBase, c.base);
    palette.setColor(group, QPalette::ToolTipText, c.text);
    palette.setColor(group, QPalette::PlaceholderText, mix(c.text, c.base, 0.5));
}

} // namespace

const QStringList &themeNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Theme &theme : themes())
            list.append(QString::fromLatin1(theme.name));
        return list;
    }();
    return names;
}

std::optional<ThemeColours> themeColours(const QString &name)
{
    if (const Theme *theme = find(name))
        return theme->colours;
    return std::nullopt;
}

std::optional<QPalette> themePalette(const QString &name)
{
    const Theme *theme = find(name);
    if (!theme)
        return std::nullopt;
    QPalette palette;
    setGroup(palette, QPalette::Active, theme->colours, false);
    setGroup(palette, QPalette::Inactive, theme->colours, false);
    setGroup(palette, QPalette::Disabled, theme->colours, true);
    return palette;
}

QString themeStyleKey(const QString &name)
{
    const Theme *theme = find(name);
    return theme ? QString::fromLatin1(theme->styleKey) : QString();
}

} // namespace themes
