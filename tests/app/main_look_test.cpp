#include "main_window_fixture.h"
#include "services/dialogs/themes.h"

#include <QImage>

// Writes the main window in every theme into $ZORBIT_SCREENSHOT_DIR when that is set.
using MainLook = MainWindowTest;

TEST_F(MainLook, EveryThemeGivesItsOwnLook)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_TRUE(waitFor([this] { return !child<QLineEdit>("pressuredisplay")->text().startsWith(u'-'); }));
    const QString dir = qEnvironmentVariable("ZORBIT_SCREENSHOT_DIR");
    QList<QImage> looks;
    for (const QString &name : themes::names()) {
        ASSERT_TRUE(themes::apply(name)) << name.toStdString();
        QTest::qWait(50);
        const QImage look = form->grab().toImage();
        ASSERT_FALSE(look.isNull());
        for (const QImage &other : looks)
            EXPECT_NE(look, other) << name.toStdString() << " looks like another theme";
        looks.append(look);
        if (!dir.isEmpty())
            look.save(dir + QStringLiteral("/main_") + name.toLower().replace(u' ', u'_') + QStringLiteral(".png"));
    }
    themes::apply(QStringLiteral("Amethyst Kamri"));
}
