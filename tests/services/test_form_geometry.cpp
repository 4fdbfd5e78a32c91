#include "IniHandler.h"
#include "temp_data_folders.h"

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

#include "test_form_geometry.moc"
