// Every caption of every window and panel fits its control, in each shipped language: a text
// wider (or, with more lines, higher) than the room its control gives it is cut off on screen.
#include "app/about.h"
#include "views/chart/chart_panel.h"
#include "views/monitor/monitor_view.h"
#include "languages_fixture.h"
#include "text_walk.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>

namespace {

int widestLine(const QFontMetrics &fm, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(u'\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// What a control's caption needs beside its text, in pixels, as the style lays it out.
int besideText(const QAbstractButton &button)
{
    const QStyle *style = button.style();
    const int icon = button.icon().isNull() ? 0 : button.iconSize().width() + 4;
    if (qobject_cast<const QCheckBox *>(&button))
        return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &button) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &button) + icon;
    if (qobject_cast<const QRadioButton *>(&button))
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &button) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &button) + icon;
    return 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button) + icon;
}

// One line per caption that does not fit, naming window, control, text and pixels.
QStringList cutCaptions(QWidget &window)
{
    QStringList cut;
    const auto report = [&](const QWidget &control, const QString &text, const char *what, int needed, int room) {
        cut << QStringLiteral("%1/%2 \"%3\": %4 needs %5 px, has %6")
                   .arg(window.objectName(), control.objectName(), text, QString::fromLatin1(what))
                   .arg(needed)
                   .arg(room);
    };
    for (QWidget *control : window.findChildren<QWidget *>()) {
        // A control inside a collapsed panel is shown nowhere.
        if (!control->isVisible() || control->visibleRegion().isEmpty())
            continue;
        const QFontMetrics fm(control->font());
        const QRect room = control->contentsRect();
        if (auto *label = qobject_cast<QLabel *>(control)) {
            const QString text = label->text();
            if (text.isEmpty() || label->textFormat() == Qt::RichText)
                continue;
            const int margins = 2 * label->margin() + std::max(label->indent(), 0);
            const int width = room.width() - margins;
            if (label->wordWrap()) {
                const QRect needed = fm.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text);
                if (needed.height() > room.height())
                    report(*label, text, "height", needed.height(), room.height());
                for (const QString &word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
                    if (fm.horizontalAdvance(word) > width)
                        report(*label, word, "word width", fm.horizontalAdvance(word), width);
            } else if (widestLine(fm, text) > width) {
                report(*label, text, "width", widestLine(fm, text), width);
            }
        } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            const QString text = text_walk::withoutMnemonics(button->text());
            if (text.isEmpty())
                continue;
            if (auto *tool = qobject_cast<QToolButton *>(button); tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
                continue;
            const int needed = widestLine(fm, text) + besideText(*button);
            if (needed > room.width())
                report(*button, text, "width", needed, room.width());
            const int lines = int(text.count(u'\n')) + 1;
            if (lines * fm.height() > room.height())
                report(*button, text, "height", lines * fm.height(), room.height());
        }
    }
    return cut;
}

struct LanguageCase {
    const char *file;
    const char *name;
};

class CaptionsFit : public LanguagesTest, public ::testing::WithParamInterface<LanguageCase>
{
protected:
    const char *startLanguage() override { return GetParam().file; }

    void settle() { QTest::qWait(50); }

    // The window as the user first sees it, then with each page of each tab widget in front.
    QStringList walk(QWidget &window)
    {
        window.show();
        settle();
        QStringList cut = cutCaptions(window);
        for (QTabWidget *tabs : window.findChildren<QTabWidget *>()) {
            if (!tabs->isVisible())
                continue;
            const int shown = tabs->currentIndex();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                settle();
                for (const QString &line : cutCaptions(window))
                    if (!cut.contains(line))
                        cut << line;
            }
            tabs->setCurrentIndex(shown);
        }
        return cut;
    }
};

} // namespace

TEST_P(CaptionsFit, EveryButtonLabelAndCheckBoxOfEveryWindow)
{
    // The device panel and the changes-left sentence filled in.
    ASSERT_TRUE(waitFor([this] { return text("changes_left") != QStringLiteral("************"); }));
    form->translateGui();
    QStringList cut;

    cut << walk(*form);
    // The chart settings panel, open, with both gradient looks.
    child<TMonitorView>("monitor")->expand_sidebar();
    auto *solid = form->findChild<QCheckBox *>(QStringLiteral("solid_box"));
    ASSERT_NE(solid, nullptr);
    for (bool gradient : {false, true}) {
        if (solid->isChecked() == gradient)
            solid->click();
        cut << walk(*form);
    }
    child<TMonitorView>("monitor")->collapse_sidebar();
    // The monitor with the gauge in front.
    child<QToolButton>("switch_button")->click();
    cut << walk(*form);
    child<QToolButton>("switch_button")->click();

    cut << walk(*options);
    options->hide();
    cut << walk(*table);
    cut << walk(*memory);
    TLogFile::getInstance()->enableForm();
    auto *viewer = dynamic_cast<QWidget *>(TLogFile::getInstance()->viewer());
    ASSERT_NE(viewer, nullptr);
    cut << walk(*viewer);
    TLogFile::getInstance()->disableForm();
    Tabout_Form about(form.get());
    cut << walk(about);
    about.hide();
    TmsgDialog question(TTranslator::getInstance()->translate(
                            QStringLiteral("readdr_question"),
                            QStringLiteral("Do you wish to continue with assigning new slave address: %1 to device at %2 ?"))
                            .arg(QStringLiteral("0x30"), QStringLiteral("0x28")),
                        mtConfirmation, {mbYes, mbNo}, 380, 150, TmsgDialog::defaultIconStripFile());
    cut << walk(question);
    question.hide();

    cut.removeDuplicates();
    EXPECT_TRUE(cut.isEmpty()) << GetParam().name << ":\n" << cut.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, CaptionsFit,
                         ::testing::Values(LanguageCase{"english.lang", "English"},
                                           LanguageCase{"german.lang", "German"}),
                         [](const ::testing::TestParamInfo<LanguageCase> &info) {
                             return std::string(info.param.name);
                         });
