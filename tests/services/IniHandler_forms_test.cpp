#include "services/settings/IniHandler.h"
#include "temp_data_folders.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

class TestForm : public QWidget
{
    Q_OBJECT
};

using FormGeometry = TempDataFolders;

TEST_F(FormGeometry, StoredOnSaveAndRestoredOnLoad)
{
    TIniHandler ini(fRoot.filePath(QStringLiteral("settings")), fRoot.filePath(QStringLiteral("bin")));
    QDir().mkpath(fRoot.filePath(QStringLiteral("settings")));
    {
        TestForm form;
        form.setGeometry(30, 40, 500, 300);
        ini.saveForm(&form);
    }
    const TFormGeometry stored = ini.readGeometry(QStringLiteral("TestForm"));
    EXPECT_EQ(stored.width, 500);
    EXPECT_EQ(stored.height, 300);
    EXPECT_EQ(stored.state, 0);

    TestForm restored;
    restored.setGeometry(0, 0, 100, 100);
    ini.loadForm(&restored);
    EXPECT_EQ(restored.frameGeometry().topLeft(), QPoint(stored.left, stored.top));
    EXPECT_EQ(restored.frameGeometry().size(), QSize(500, 300));
}

TEST_F(FormGeometry, AbsentValuesLeaveTheWindowAlone)
{
    const QString folder = fRoot.filePath(QStringLiteral("settings"));
    QDir().mkpath(folder);
    TIniHandler ini(folder, fRoot.filePath(QStringLiteral("bin")));
    ini.writeText(QStringLiteral("gui"), QStringLiteral("TestForm_left"), QStringLiteral("-1"));
    ini.writeText(QStringLiteral("gui"), QStringLiteral("TestForm_width"), QStringLiteral("640"));
    TestForm form;
    form.setGeometry(12, 34, 100, 100);
    const QPoint before = form.frameGeometry().topLeft();
    ini.loadForm(&form);
    EXPECT_EQ(form.frameGeometry().topLeft(), before);
    EXPECT_EQ(form.width(), 640);
    EXPECT_EQ(form.height(), 100);
}

TEST_F(FormGeometry, OffScreenOrOversizedComesBackOnTheScreenAtItsDesignedSize)
{
    const QString folder = fRoot.filePath(QStringLiteral("settings"));
    QDir().mkpath(folder);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct {
        const char *what;
        QByteArray stored;
        bool kept;
    } cases[] = {
        {"huge", "left=10\ntop=10\nwidth=40000\nheight=40000", false},
        {"largest integer", "left=10\ntop=10\nwidth=2147483647\nheight=2147483647", false},
        {"far left and below", "left=-30000\ntop=50000\nwidth=300\nheight=200", false},
        {"largest position", "left=2147483647\ntop=2147483647\nwidth=300\nheight=200", false},
        {"negative size", "left=10\ntop=10\nwidth=-300\nheight=200", false},
        {"title bar above the screen", "left=10\ntop=-500\nwidth=300\nheight=200", false},
        {"on the screen", "left=20\ntop=30\nwidth=300\nheight=200", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(folder + QStringLiteral("/Orvel_IIC_Addr.ini"));
        {
            QFile f(folder + QStringLiteral("/Orvel_IIC_Addr.ini"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("[gui]\n" + QByteArray(c.stored).replace("\n", "\nTestForm_").prepend("TestForm_") + "\n");
        }
        TIniHandler ini(folder, fRoot.filePath(QStringLiteral("bin")));
        TestForm form;
        form.setGeometry(0, 0, 400, 250); // as designed
        ini.loadForm(&form);
        const QRect placed = form.frameGeometry();
        if (c.kept) {
            EXPECT_EQ(placed, QRect(20, 30, 300, 200));
            continue;
        }
        EXPECT_EQ(placed.size(), QSize(400, 250));
        EXPECT_TRUE(screen.contains(placed.center())) << placed.x() << "," << placed.y();
        // Stored again as placed, so the next start is right too.
        ini.saveForm(&form);
        EXPECT_EQ(ini.readGeometry(QStringLiteral("TestForm")).width, 400);
    }
}

#include "IniHandler_forms_test.moc"
