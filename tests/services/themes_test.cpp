// Applying the looks of the style list to the running application.
#include "services/dialogs/themes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(ThemeList, SystemLookFirstAndTheStoredDefaultNamesTheStartupTheme)
{
    const QStringList names = themes::names();
    ASSERT_EQ(names.size(), 6);
    EXPECT_EQ(names.at(0), themes::SystemLook);
    EXPECT_EQ(names.at(3), QStringLiteral("Amethyst Kamri"));
    EXPECT_EQ(names.mid(1), themes::themeNames());
}

// Every look turns the application into a different palette; the system look brings back the
// palette the application started with.
TEST(ApplyTheme, EachLookChangesTheApplicationPalette)
{
    const QPalette original = QApplication::palette();
    QList<QPalette> seen{original};
    for (const QString &name : themes::names().mid(1)) {
        ASSERT_TRUE(themes::apply(name)) << name.toStdString();
        const QPalette now = QApplication::palette();
        for (const QPalette &before : seen)
            EXPECT_NE(now.color(QPalette::Window), before.color(QPalette::Window)) << name.toStdString();
        EXPECT_EQ(now.color(QPalette::Highlight), themes::themePalette(name)->color(QPalette::Highlight));
        EXPECT_EQ(QApplication::style()->name(), QStringLiteral("fusion"));
        EXPECT_EQ(themes::activeName(), name);
        seen.append(now);
    }
    ASSERT_TRUE(themes::apply(themes::SystemLook));
    EXPECT_EQ(QApplication::palette(), original);
    EXPECT_EQ(themes::activeName(), themes::SystemLook);
}

TEST(ApplyTheme, UnknownNameChangesNothing)
{
    ASSERT_TRUE(themes::apply(QStringLiteral("Carbon")));
    const QPalette before = QApplication::palette();
    const QStyle *style = QApplication::style();
    for (const char *name : {"", "carbon", "Windows10", "Amethyst  Kamri"}) {
        EXPECT_FALSE(themes::apply(QString::fromLatin1(name))) << name;
        EXPECT_EQ(QApplication::palette(), before) << name;
        EXPECT_EQ(QApplication::style(), style) << name;
        EXPECT_EQ(themes::activeName(), QStringLiteral("Carbon")) << name;
    }
}

// A panel with the controls the program uses, for looking at each theme.
class Gallery : public QWidget
{
public:
    Gallery()
    {
        auto *layout = new QVBoxLayout(this);
        auto *group = new QGroupBox(QStringLiteral("Device Information"), this);
        auto *form = new QVBoxLayout(group);
        form->addWidget(new QLabel(QStringLiteral("Slave Address: 0x28"), group));
        auto *edit = new QLineEdit(QStringLiteral("0 ... 10 bar"), group);
        form->addWidget(edit);
        auto *combo = new QComboBox(group);
        combo->addItems({QStringLiteral("0x29"), QStringLiteral("0x2A")});
        form->addWidget(combo);
        auto *spin = new QSpinBox(group);
        spin->setValue(3);
        form->addWidget(spin);
        auto *check = new QCheckBox(QStringLiteral("Show legend"), group);
        check->setChecked(true);
        form->addWidget(check);
        form->addWidget(new QRadioButton(QStringLiteral("Detailed"), group));
        auto *disabled = new QPushButton(QStringLiteral("Change Device Address"), group);
        disabled->setEnabled(false);
        form->addWidget(disabled);
        layout->addWidget(group);
        auto *slider = new QSlider(Qt::Horizontal, this);
        slider->setValue(40);
        layout->addWidget(slider);
        auto *progress = new QProgressBar(this);
        progress->setValue(62);
        layout->addWidget(progress);
        auto *table = new QTableWidget(3, 2, this);
        table->setHorizontalHeaderLabels({QStringLiteral("Pressure"), QStringLiteral("Temperature")});
        table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("1.234")));
        table->setItem(0, 1, new QTableWidgetItem(QStringLiteral("23.45")));
        table->selectRow(1);
        table->setFixedHeight(110);
        layout->addWidget(table);
        auto *start = new QPushButton(QStringLiteral("Start"), this);
        start->setDefault(true);
        layout->addWidget(start);
        resize(300, 470);
    }
};

TEST(ApplyTheme, WidgetsTakeTheThemeColours)
{
    const QByteArray dir = qgetenv("ZORBIT_SCREENSHOT_DIR");
    for (const QString &name : themes::names()) {
        ASSERT_TRUE(themes::apply(name));
        Gallery gallery;
        gallery.show();
        const QImage picture = gallery.grab().toImage();
        EXPECT_EQ(QColor(picture.pixel(2, picture.height() - 2)), QApplication::palette().color(QPalette::Window))
            << name.toStdString();
        if (!dir.isEmpty()) {
            QString file = QStringLiteral("theme_") + name.toLower().replace(u' ', u'_') + QStringLiteral(".png");
            QDir().mkpath(QString::fromLocal8Bit(dir));
            EXPECT_TRUE(picture.save(QDir(QString::fromLocal8Bit(dir)).filePath(file)));
        }
    }
    themes::apply(themes::SystemLook);
}

} // namespace
