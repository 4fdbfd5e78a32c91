// The message dialog as a user meets it: placement, captions, icons and the codes it returns.
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/utils/UniCodeFile.h"
#include "services/utils/WorkingDirHandler.h"
#include "dialog_driver.h"
#include "services/dialogs/msgDialogForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include "qt_printers.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// The translator and the settings store write below a temporary folder.
class MsgDialog : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        fData = std::make_unique<QTemporaryDir>();
        fSavedHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", fData->filePath(QStringLiteral("share")).toLocal8Bit());
    }
    static void TearDownTestSuite()
    {
        TTranslator::release();
        TIniHandler::release();
        TWorkingDirHandler::release();
        if (fSavedHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", fSavedHome);
        fData.reset();
    }
    void TearDown() override { TmsgDialog::setMainWindow(nullptr); }

    static QString stripFile() { return TmsgDialog::defaultIconStripFile(); }

    static inline std::unique_ptr<QTemporaryDir> fData;
    static inline QByteArray fSavedHome;
};

QLabel *iconOf(TmsgDialog &dialog) { return dialog.findChild<QLabel *>(QStringLiteral("image_img")); }

// Pixels of the shown icon that differ from the expected image; 1024 when no icon is shown.
// Compared premultiplied, the form a pixmap keeps its pixels in.
int differingIconPixels(TmsgDialog &dialog, const QImage &expectedImage)
{
    const QImage expected = expectedImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QLabel *icon = iconOf(dialog);
    if (!icon || icon->geometry() != QRect(17, 23, 32, 32))
        return 32 * 32;
    const QImage shown = icon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (shown.size() != QSize(32, 32))
        return 32 * 32;
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            differing += shown.pixel(x, y) != expected.pixel(x, y);
    return differing;
}

QStringList captionsRightToLeft(const TmsgDialog &dialog)
{
    QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
    std::sort(buttons.begin(), buttons.end(), [](QPushButton *a, QPushButton *b) { return a->x() > b->x(); });
    QStringList captions;
    for (QPushButton *button : buttons)
        captions.append(button->text());
    return captions;
}

TEST_F(MsgDialog, ButtonsStandRightToLeftInListOrderAndReturnTheirCodes)
{
    const struct {
        QList<TButtonTypes> buttons;
        QStringList captions;
        int pressed;
        int result;
    } cases[] = {
        {{mbYes, mbNo}, {"Yes", "No"}, 0, 6},
        {{mbYes, mbNo}, {"Yes", "No"}, 1, 7},
        {{mbOk}, {"Ok"}, 0, 1},
        {{mbNo, mbCancel, mbYesToAll}, {"No", "Cancel", "Yes to All"}, 2, 14},
        {{mbOk, mbOk}, {"Ok", "Ok"}, 1, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.captions.join(u',').toStdString());
        DialogDriver<TmsgDialog> driver([&](TmsgDialog &dialog) {
            EXPECT_EQ(dialog.frameGeometry().size(), QSize(380, 150));
            EXPECT_EQ(captionsRightToLeft(dialog), c.captions);
            const QList<QPushButton *> &buttons = dialog.buttons();
            EXPECT_EQ(buttons.size(), c.buttons.size());
            for (int i = 0; i < buttons.size(); ++i) {
                const int w = buttons[i]->width();
                EXPECT_EQ(buttons[i]->x(), 380 - 30 - w - i * (w + 6)) << "button " << i;
                EXPECT_EQ(buttons[i]->y(), 150 - 70) << "button " << i;
                EXPECT_GE(w, 75);
                EXPECT_TRUE(buttons[i]->isVisible());
            }
            QTest::mouseClick(buttons.at(c.pressed), Qt::LeftButton);
        });
        EXPECT_EQ(TmsgDialog::createDialog(QStringLiteral("Write the new address?"), mtConfirmation, c.buttons),
                  c.result);
        EXPECT_TRUE(driver.ran());
    }
}

TEST_F(MsgDialog, CloseBoxAndEscapeReturnTwo)
{
    const std::function<void(TmsgDialog &)> leave[] = {
        [](TmsgDialog &dialog) { dialog.close(); },
        [](TmsgDialog &dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
    };
    for (const auto &how : leave) {
        DialogDriver<TmsgDialog> driver(how);
        EXPECT_EQ(TmsgDialog::createDialog(QStringLiteral("Leave me"), mtWarning, {mbYes, mbNo}), 2);
        EXPECT_TRUE(driver.ran());
    }
}

TEST_F(MsgDialog, EachTypeShowsItsTitleAndItsIconOfTheStrip)
{
    const QImage strip = QImage(stripFile()).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(strip.size(), QSize(128, 32)) << stripFile().toStdString();
    const struct {
        TMsgDialogType type;
        const char *title;
    } cases[] = {{mtWarning, "Warning"}, {mtError, "Error"}, {mtInformation, "Information"},
                 {mtConfirmation, "Confirmation"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        DialogDriver<TmsgDialog> driver([&](TmsgDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), QString::fromLatin1(c.title));
            EXPECT_EQ(differingIconPixels(dialog, strip.copy(int(c.type) * 32, 0, 32, 32)), 0);
            dialog.buttons().first()->click();
        });
        EXPECT_EQ(TmsgDialog::createDialog(QStringLiteral("Something happened."), c.type, {mbOk}), 1);
        EXPECT_TRUE(driver.ran());
    }
}

TEST_F(MsgDialog, WithoutTheStripTheDialogHasNoIconButWorks)
{
    TmsgDialog dialog(QStringLiteral("No pictures today"), mtError, {mbYes, mbNo}, 380, 150,
                      QDir(fData->path()).filePath(QStringLiteral("images/missing.bmp")));
    EXPECT_TRUE(iconOf(dialog)->pixmap().isNull());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Error"));
    DialogDriver<TmsgDialog> driver([](TmsgDialog &shown) { shown.buttons().at(1)->click(); });
    EXPECT_EQ(dialog.exec(), 7);
    EXPECT_TRUE(driver.ran());
}

TEST_F(MsgDialog, TitleAndCaptionsFollowTheLanguage)
{
    QTemporaryDir languages;
    ASSERT_TRUE(languages.isValid());
    TUnicodeFile::writeLines(QDir(languages.path()).filePath(QStringLiteral("test.lang")),
                             {QStringLiteral("languageName=Test"), QStringLiteral("OK=Einverstanden"),
                              QStringLiteral("error=Fehler"), QStringLiteral("no=Nein")},
                             UTF16LE);
    TTranslator *translator = TTranslator::getInstance();
    translator->setPath(languages.path());
    translator->Set_Language(QStringLiteral("test.lang"));

    DialogDriver<TmsgDialog> driver([](TmsgDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Fehler"));
        EXPECT_EQ(captionsRightToLeft(dialog), (QStringList{"Einverstanden", "Nein", "Cancel"}));
        dialog.buttons().first()->click();
    });
    EXPECT_EQ(TmsgDialog::createDialog(QStringLiteral("x"), mtError, {mbOk, mbNo, mbCancel}), 1);
    EXPECT_TRUE(driver.ran());
    TTranslator::release(); // the next test starts with the default texts again
}

TEST_F(MsgDialog, CentresOverTheMainWindowOrElseTheScreen)
{
    QWidget main;
    main.setGeometry(60, 80, 900, 640);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        bool withMain;
        bool mainShown;
    } cases[] = {{true, true}, {false, false}, {true, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "main window " << c.withMain << " shown " << c.mainShown);
        main.setVisible(c.mainShown);
        TmsgDialog::setMainWindow(c.withMain ? &main : nullptr);
        const QPoint target = c.mainShown ? main.frameGeometry().center() : screen.center();
        DialogDriver<TmsgDialog> driver([&](TmsgDialog &dialog) {
            const QPoint centre = dialog.frameGeometry().center();
            EXPECT_LE((centre - target).manhattanLength(), 2) << centre.x() << "," << centre.y();
            dialog.close();
        });
        TmsgDialog::createDialog(QStringLiteral("Where am I?"), mtInformation, {mbOk});
        EXPECT_TRUE(driver.ran());
    }
}

TEST_F(MsgDialog, LongMessagesWrapInsideTheFixedSize)
{
    const QString text = QStringLiteral("The transmitter did not confirm the new slave address. Check the "
                                        "cable and the supply, then try again.");
    TmsgDialog dialog(text, mtWarning, {mbOk}, 380, 150, stripFile());
    dialog.show();
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("msg_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), text);
    EXPECT_EQ(label->geometry().topLeft(), QPoint(60, 23));
    EXPECT_EQ(label->width(), 380 - 80);
    EXPECT_GT(label->height(), 2 * label->fontMetrics().height() - 1);
    EXPECT_EQ(dialog.frameGeometry().size(), QSize(380, 150));
    // A message too long for the fixed size makes the dialog taller, never covered by the buttons.
    QString longText;
    for (int i = 0; i < 8; ++i)
        longText += text + u' ';
    TmsgDialog tall(longText, mtError, {mbOk}, 380, 150, stripFile());
    tall.show();
    const QRect tallLabel = tall.findChild<QLabel *>(QStringLiteral("msg_label"))->geometry();
    const QRect button = tall.findChild<QPushButton *>(QStringLiteral("ok_btn"))->geometry();
    EXPECT_EQ(tall.frameGeometry().width(), 380);
    EXPECT_GT(tall.frameGeometry().height(), 150);
    EXPECT_LT(tallLabel.bottom(), button.top()) << "the text ends above the buttons";
    EXPECT_EQ(tallLabel.width(), 380 - 80);
    // The message is shown as written, markup included.
    TmsgDialog markup(QStringLiteral("<b>1 < 2</b>"), mtWarning, {mbOk}, 380, 150, stripFile());
    EXPECT_EQ(markup.findChild<QLabel *>(QStringLiteral("msg_label"))->textFormat(), Qt::PlainText);
}

TEST_F(MsgDialog, PicturesOfEachType)
{
    const QByteArray dir = qgetenv("ZORBIT_SCREENSHOT_DIR");
    const struct {
        TMsgDialogType type;
        QList<TButtonTypes> buttons;
        const char *text;
        const char *file;
    } cases[] = {
        {mtWarning, {mbOk}, "The log file could not be written.", "msg_warning.png"},
        {mtError, {mbOk}, "Communication error: the transmitter did not answer.", "msg_error.png"},
        {mtInformation, {mbOk}, "QUARNE : Orvel I2C Zorbit Version 1.3 is already running !", "msg_information.png"},
        {mtConfirmation, {mbYes, mbNo}, "Write the new slave address 0x29 into the transmitter?",
         "msg_confirmation.png"},
    };
    for (const auto &c : cases) {
        TmsgDialog dialog(QString::fromLatin1(c.text), c.type, c.buttons, 380, 150, stripFile());
        dialog.show();
        const QImage picture = dialog.grab().toImage();
        // The icon is drawn where it belongs: its centre is not the window's background.
        EXPECT_NE(picture.pixel(17 + 16, 23 + 16), picture.pixel(5, 5)) << c.file;
        if (!dir.isEmpty()) {
            QDir().mkpath(QString::fromLocal8Bit(dir));
            EXPECT_TRUE(picture.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(c.file))));
        }
    }
}

} // namespace
