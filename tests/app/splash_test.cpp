// The splash window and the about box as the user sees them.
#include "app/about.h"
#include "services/dialogs/msgDialogForm.h"
#include "app/product_info.h"
#include "app/splash.h"

#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include "qt_printers.h"

#include <gtest/gtest.h>

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

namespace {

void saveIfAsked(const QImage &picture, const char *name)
{
    const QByteArray dir = qgetenv("ZORBIT_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    EXPECT_TRUE(picture.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name))));
}

QString labelText(const QWidget &form, const char *name)
{
    const auto *label = form.findChild<QLabel *>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

// The picture shows the product on white: its top-right corner is white, and the transmitter
// body left of centre is not.
void expectProductPicture(const QImage &picture)
{
    EXPECT_EQ(QColor(picture.pixel(picture.width() - 6, 6)), QColor(Qt::white));
    EXPECT_NE(QColor(picture.pixel(170, 150)), QColor(Qt::white));
}

TEST(Splash, BorderlessWhiteCentredWithVersionAndBuildTime)
{
    Tsplash_Form splash;
    splash.setAttribute(Qt::WA_DeleteOnClose, false); // lives on the stack here
    splash.show();
    EXPECT_EQ(splash.frameGeometry().size(), QSize(739, 340));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((splash.frameGeometry().center() - screen.center()).manhattanLength(), 2);
    EXPECT_EQ(labelText(splash, "version_title"), QStringLiteral("Version"));
    EXPECT_EQ(labelText(splash, "version_label"), QStringLiteral("1.3"));
    EXPECT_EQ(labelText(splash, "built_title"), QStringLiteral("Built"));
    EXPECT_FALSE(labelText(splash, "built_label").isEmpty());
    EXPECT_EQ(labelText(splash, "built_label"), product_info::programBuildStamp());
    const QImage picture = splash.grab().toImage();
    expectProductPicture(picture);
    saveIfAsked(picture, "splash.png");
}

TEST(Splash, ClosesAndReleasesItselfTwoSecondsAfterItWasShown)
{
    QElapsedTimer clock;
    clock.start();
    QPointer<Tsplash_Form> splash = Tsplash_Form::showSplash();
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(splash->isVisible());
    QTest::qWait(1000);
    ASSERT_FALSE(splash.isNull()) << "closed after " << clock.elapsed() << " ms";
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 10000));
    EXPECT_GE(clock.elapsed(), 1900);
}

TEST(Splash, ClosesAtOnceWhenTheLoopRunsLate)
{
    QPointer<Tsplash_Form> splash = Tsplash_Form::showSplash();
    // Busy start-up: the message loop does not run for longer than the splash delay.
    QThread::msleep(2300);
    ASSERT_FALSE(splash.isNull());
    // The first pass of the loop finds the delay over: it closes then, not a delay later.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
}

class About : public ::testing::Test
{
protected:
    void SetUp() override
    {
        main.setGeometry(120, 90, 997, 727);
        main.show();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QWidget main;
    UrlRecorder recorder;
};

TEST_F(About, BorderlessCentredOverTheMainWindowWithPictureAndTexts)
{
    Tabout_Form about(&main);
    about.show();
    EXPECT_EQ(about.frameGeometry().size(), QSize(736, 333));
    EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_LE((about.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(labelText(about, "version_label"), QStringLiteral("1.3"));
    EXPECT_EQ(labelText(about, "built_label"), product_info::programBuildStamp());
    auto *close = about.findChild<QPushButton *>(QStringLiteral("close_btn"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("Close"));
    EXPECT_TRUE(about.rect().contains(close->geometry()));
    const QImage picture = about.grab().toImage();
    expectProductPicture(picture);
    saveIfAsked(picture, "about.png");
}

TEST_F(About, LinkLabelOpensItsAddress)
{
    Tabout_Form about(&main);
    about.show();
    auto *link = about.findChild<QLabel *>(QStringLiteral("link_label"));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    const QUrl address(link->text());
    EXPECT_TRUE(address.isValid());
    EXPECT_EQ(address.host(), QStringLiteral("orvel.example"));

    QTest::mouseClick(link, Qt::RightButton);
    EXPECT_TRUE(recorder.opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened.first(), address);
}

TEST_F(About, ALinkThatCannotBeOpenedIsReported)
{
    // The dialog's translator keeps its log in a folder of this test.
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", home.filePath(QStringLiteral("system")).toLocal8Bit());
    Tabout_Form about(&main);
    QList<QUrl> tried;
    about.setUrlOpener([&tried](const QUrl &address) { // as on a machine without a browser
        tried.append(address);
        return false;
    });
    about.show();
    auto *link = about.findChild<QLabel *>(QStringLiteral("link_label"));
    ASSERT_NE(link, nullptr);
    QString message;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<TmsgDialog *>(QApplication::activeModalWidget())) {
            message = dialog->findChild<QLabel *>(QStringLiteral("msg_label"))->text();
            dialog->done(1);
        }
    });
    poll.start(20);
    QTimer::singleShot(10000, &poll, [&] { poll.stop(); });
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(tried, QList<QUrl>{QUrl(link->text())});
    EXPECT_EQ(message, QStringLiteral("The web address https://orvel.example could not be opened."));
}

TEST_F(About, CloseButtonEndsTheModalBox)
{
    Tabout_Form about(&main);
    QTimer::singleShot(0, &about, [&] {
        if (auto *close = about.findChild<QPushButton *>(QStringLiteral("close_btn")))
            QTest::mouseClick(close, Qt::LeftButton);
    });
    QTimer::singleShot(10000, &about, [&] { about.done(-1); }); // a fault must not hang the test
    EXPECT_EQ(about.exec(), int(QDialog::Accepted));
    EXPECT_FALSE(about.isVisible());
}

} // namespace

#include "splash_test.moc"
