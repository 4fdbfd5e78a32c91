// The memory map window: grid contents, column widths, status and the copy by double click.
#include "transmitter/OrvelDevice.h"
#include "views/windows/device_memory.h"
#include "memory_image.h"
#include "qt_printers.h"
#include "single_language.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

class MemoryForm : public ::testing::Test
{
protected:
    void SetUp() override { QGuiApplication::clipboard()->setText(QStringLiteral("untouched")); }

    void double_click(QWidget *target)
    {
        const QPointF inside(target->width() / 2.0, target->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonDblClick, inside, target->mapToGlobal(inside), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    QStringList clipboard_lines() const
    {
        QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.last(), QString()) << "the last line ends with CR LF too";
        lines.removeLast();
        return lines;
    }
    QStringList column(int c) const
    {
        QStringList cells;
        for (int row = 1; row < 25; ++row)
            cells.append(form.cell_text(row, c));
        return cells;
    }

    Tmemory_Form form;
    QFrame *panel = form.findChild<QFrame *>(QStringLiteral("Panel1"));
};

} // namespace

TEST_F(MemoryForm, BeforeAnyImageTheDoubleClickCopies25LinesOfFourTabs)
{
    ASSERT_NE(panel, nullptr);
    double_click(panel);
    const QStringList lines = clipboard_lines();
    ASSERT_EQ(lines.size(), 25);
    for (const QString &line : lines)
        EXPECT_EQ(line, QStringLiteral("\t\t\t\t"));
    EXPECT_EQ(form.cell_text(1, 0), QStringLiteral("#1"));
    EXPECT_EQ(form.cell_text(24, 0), QStringLiteral("#24"));
}

TEST_F(MemoryForm, ImageFillsNameAddressAndValueInRegisterOrder)
{
    const T_DeviceMemory image = calibrated_image();
    form.Setmemory(image);
    const QStringList headers = {"", "Name", "Address", "Value", "", "Verify"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(form.cell_text(0, c), headers[c]) << c;
    const QStringList names = {"Cust_ID0", "Cust_ID1", "COM_Config", "B_sign",   "T_sign",     "Offset_B",
                               "Gain_B",   "Tcg",      "Tco",        "SOT_tco",  "SOT_tcg",    "SOT_Bridge",
                               "Offset_T", "Gain_T",   "SOT_T",      "T_SETL",   "BM_Config",  "AUX",
                               "scaling0", "scaling1", "scaling2",   "scaling3", "scaling4",   "Checksum"};
    EXPECT_EQ(column(1), names);
    EXPECT_EQ(form.cell_text(1, 2), QStringLiteral("0x00"));
    EXPECT_EQ(form.cell_text(11, 2), QStringLiteral("0x0A"));
    EXPECT_EQ(form.cell_text(24, 2), QStringLiteral("0x17"));
    EXPECT_EQ(form.cell_text(1, 3), QStringLiteral("0x1C38"));
    EXPECT_EQ(form.cell_text(4, 3), QStringLiteral("0x0000"));
    EXPECT_EQ(form.cell_text(24, 3), QStringLiteral("0x8E3B"));
    EXPECT_EQ(form.cell_text(7, 0), QStringLiteral("#7"));
    EXPECT_EQ(column(4), QStringList(24, QString()));
}

TEST_F(MemoryForm, ColumnWidthsFollowTheLongestName)
{
    form.Setmemory(calibrated_image());
    EXPECT_EQ(form.column_width(0), 40);
    EXPECT_EQ(form.column_width(1), 80); // SOT_Bridge and COM_Config have 10 characters
    EXPECT_EQ(form.column_width(4), 10);
}

TEST_F(MemoryForm, WithoutVerifyImageTheClipboardLinesEndInTwoTabsAndAnEmptyField)
{
    form.Setmemory(calibrated_image());
    double_click(panel);
    const QStringList lines = clipboard_lines();
    ASSERT_EQ(lines.size(), 25);
    EXPECT_EQ(lines[0], QStringLiteral("Name\tAddress\tValue\t\tVerify"));
    EXPECT_EQ(lines[1], QStringLiteral("Cust_ID0\t0x00\t0x1C38\t\t"));
    EXPECT_EQ(lines[3], QStringLiteral("COM_Config\t0x02\t0x0028\t\t"));
    EXPECT_EQ(lines[24], QStringLiteral("Checksum\t0x17\t0x8E3B\t\t"));
    EXPECT_EQ(column(5), QStringList(24, QString()));
}

TEST_F(MemoryForm, VerifyImageFillsOnlyItsColumnAndTheNextImageClearsIt)
{
    T_DeviceMemory verify = calibrated_image();
    verify.Get_COM_Config().setValue(0x0030);
    form.Setmemory(calibrated_image());
    form.Setverify_memory(verify);
    EXPECT_EQ(form.cell_text(3, 3), QStringLiteral("0x0028"));
    EXPECT_EQ(form.cell_text(3, 5), QStringLiteral("0x0030"));
    EXPECT_EQ(form.cell_text(24, 5), QStringLiteral("0x8E3B"));
    EXPECT_EQ(form.cell_text(3, 1), QStringLiteral("COM_Config"));
    double_click(panel);
    EXPECT_EQ(clipboard_lines().value(3), QStringLiteral("COM_Config\t0x02\t0x0028\t\t0x0030"));

    form.Setmemory(calibrated_image());
    EXPECT_EQ(column(5), QStringList(24, QString()));
}

TEST_F(MemoryForm, CleanGridEmptiesTheRegisterRowsAndKeepsTheHeaders)
{
    form.Setmemory(calibrated_image());
    form.Setverify_memory(calibrated_image());
    form.clean_grid();
    for (int row = 1; row < 25; ++row) {
        EXPECT_EQ(form.cell_text(row, 0), QStringLiteral("#%1").arg(row));
        for (int c = 1; c < 6; ++c)
            EXPECT_EQ(form.cell_text(row, c), QString()) << row << "/" << c;
    }
    EXPECT_EQ(form.cell_text(0, 1), QStringLiteral("Name"));
}

TEST_F(MemoryForm, StatusShowsPageAndCorrection)
{
    auto *page = form.findChild<QLineEdit *>(QStringLiteral("curr_page_ed"));
    auto *corrected = form.findChild<QCheckBox *>(QStringLiteral("corrected_Check"));
    ASSERT_TRUE(page && corrected);
    EXPECT_EQ(page->text(), QStringLiteral("---------"));
    EXPECT_FALSE(corrected->isEnabled());
    struct {
        uint8_t high;
        const char *page;
        bool corrected;
    } cases[] = {{0xE0, "3", true}, {0x40, "2", false}, {0x9F, "0", true}, {0x20, "1", false}};
    for (const auto &c : cases) {
        form.Setstatus(T_Memory_Status::from_high_byte(c.high));
        EXPECT_EQ(page->text(), QString::fromLatin1(c.page)) << int(c.high);
        EXPECT_EQ(corrected->isChecked(), c.corrected) << int(c.high);
    }
}

TEST_F(MemoryForm, DoubleClickOnAPanelLabelCopiesToo)
{
    form.Setmemory(calibrated_image());
    auto *label = form.findChild<QLabel *>(QStringLiteral("curr_page_label"));
    ASSERT_NE(label, nullptr);
    double_click(label);
    EXPECT_EQ(clipboard_lines().value(0), QStringLiteral("Name\tAddress\tValue\t\tVerify"));
}

// The headers are the language's, yet the copy stays a memory image file whatever the language.
TEST_F(MemoryForm, HeadersInTheLanguageTheCopyInTheFilesWords)
{
    SingleLanguage german({"memory_name=Register", "readdr_address=Adresse", "memory_value=Wert", "Verify=Prüfen",
                           "memory_title=Gerätespeicher"});
    Tmemory_Form shown;
    EXPECT_EQ(shown.windowTitle(), QStringLiteral("Gerätespeicher"));
    EXPECT_EQ(shown.cell_text(0, 1), QString()) << "no headers before the first image";
    shown.Setmemory(calibrated_image());
    EXPECT_EQ((QStringList{shown.cell_text(0, 1), shown.cell_text(0, 2), shown.cell_text(0, 3), shown.cell_text(0, 5)}),
              (QStringList{"Register", "Adresse", "Wert", "Prüfen"}));
    double_click(shown.findChild<QFrame *>(QStringLiteral("Panel1")));
    const QStringList lines = clipboard_lines();
    EXPECT_EQ(lines.value(0), QStringLiteral("Name\tAddress\tValue\t\tVerify"));
    EXPECT_EQ(lines.value(3), QStringLiteral("COM_Config\t0x02\t0x0028\t\t"));
}

TEST_F(MemoryForm, ClosingOnlyHides)
{
    form.Setmemory(calibrated_image());
    form.show();
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.cell_text(1, 1), QStringLiteral("Cust_ID0"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Device Memory"));
}

TEST(MemoryFormPlacement, OpensCentredOverTheMainWindow)
{
    QWidget main;
    main.setGeometry(200, 150, 1000, 800);
    main.show();
    Tmemory_Form form(&main);
    form.show();
    EXPECT_TRUE(form.isWindow());
    EXPECT_LE((form.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2)
        << form.frameGeometry().x() << "," << form.frameGeometry().y();
}
