// Theme colours and names, without any window.
#include "services/dialogs/themes_palettes.h"

#include <cmath>
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// Contrast ratio as accessibility guidelines define it: 1 (none) to 21 (black on white).
double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(Themes, FiveThemesWithAmethystKamriThirdAfterTheSystemLook)
{
    const QStringList expected{"Aqua Light Slate", "Auric", "Amethyst Kamri", "Carbon", "Lavender Classico"};
    EXPECT_EQ(themes::themeNames(), expected);
    EXPECT_EQ(themes::themeNames().indexOf(themes::StartupTheme) + 1, 3);
}

TEST(Themes, EveryTextIsReadableOnItsBackground)
{
    const struct {
        QPalette::ColorRole text;
        QPalette::ColorRole background;
        double least;
    } pairs[] = {
        {QPalette::WindowText, QPalette::Window, 7.0},      {QPalette::Text, QPalette::Base, 7.0},
        {QPalette::ButtonText, QPalette::Button, 7.0},      {QPalette::HighlightedText, QPalette::Highlight, 4.5},
        {QPalette::ToolTipText, QPalette::ToolTipBase, 7.0}, {QPalette::Link, QPalette::Base, 4.5},
        {QPalette::PlaceholderText, QPalette::Base, 2.5},
    };
    for (const QString &name : themes::themeNames()) {
        const std::optional<QPalette> palette = themes::themePalette(name);
        ASSERT_TRUE(palette.has_value()) << name.toStdString();
        for (const auto &pair : pairs) {
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                const double ratio =
                    contrast(palette->color(group, pair.text), palette->color(group, pair.background));
                EXPECT_GE(ratio, pair.least) << name.toStdString() << " roles " << pair.text << "/"
                                             << pair.background;
            }
        }
        // Disabled text is dimmer than enabled text and still visible.
        const double enabled = contrast(palette->color(QPalette::Active, QPalette::WindowText),
                                        palette->color(QPalette::Active, QPalette::Window));
        const double disabled = contrast(palette->color(QPalette::Disabled, QPalette::WindowText),
                                         palette->color(QPalette::Disabled, QPalette::Window));
        EXPECT_LT(disabled, enabled / 2) << name.toStdString();
        EXPECT_GE(disabled, 1.8) << name.toStdString();
    }
}

TEST(Themes, BevelsAreLighterAboveAndDarkerBelowTheButtonFace)
{
    for (const QString &name : themes::themeNames()) {
        const QPalette palette = *themes::themePalette(name);
        const double face = luminance(palette.color(QPalette::Button));
        EXPECT_GT(luminance(palette.color(QPalette::Light)), face) << name.toStdString();
        EXPECT_LT(luminance(palette.color(QPalette::Dark)), face) << name.toStdString();
        EXPECT_LT(luminance(palette.color(QPalette::Shadow)), luminance(palette.color(QPalette::Dark)))
            << name.toStdString();
    }
}

TEST(Themes, DarkAndLightThemes)
{
    const struct {
        const char *name;
        bool dark;
    } cases[] = {{"Aqua Light Slate", false}, {"Auric", true}, {"Amethyst Kamri", false}, {"Carbon", true},
                 {"Lavender Classico", false}};
    for (const auto &c : cases) {
        const QPalette palette = *themes::themePalette(QString::fromLatin1(c.name));
        EXPECT_EQ(luminance(palette.color(QPalette::Window)) < 0.1, c.dark) << c.name;
        EXPECT_EQ(themes::themeColours(QString::fromLatin1(c.name))->dark, c.dark) << c.name;
    }
}

TEST(Themes, UnknownNamesHaveNoPalette)
{
    for (const char *name : {"", "amethyst kamri", "Windows", "System", "Carbon "})
        EXPECT_FALSE(themes::themePalette(QString::fromLatin1(name)).has_value()) << name;
}

} // namespace
