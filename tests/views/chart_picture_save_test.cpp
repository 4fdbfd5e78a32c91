// Saving the chart of a run as a picture: the files it makes in each format and size, the
// questions it asks and the failures it tells, the size dialog, and the chart's context menu.
#include "services/settings/IniHandler.h"
#include "services/utils/file_commit.h"
#include "views/chart/chart.h"
#include "views/chart/chart_picture_dialog.h"
#include "views/chart/chart_picture_save.h"
#include "../services/dialog_driver.h"
#include "exact_readings.h"
#include "qt_printers.h"
#include "temp_data_folders.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QPainter>
#include <QSet>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>
#include <cmath>
#include <gtest/gtest.h>

namespace cp = chart_picture;
using cp::Format;

namespace {

const QColor PressureColor(0x00, 0x65, 0xCA);
const QColor TemperatureColor(0xFF, 0x11, 0x11);

QByteArray read(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Pixels within a little of `color`: the curve, anti-aliased.
int pixels_like(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) + std::abs(c.green() - color.green()) +
                    std::abs(c.blue() - color.blue()) < 40)
                ++count;
        }
    return count;
}

int colours(const QImage &image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

struct SvgFacts {
    QString root;
    QString viewBox;
    double aspect = 0; // width / height as the root states them
    int drawings = 0;  // paths, lines, rectangles and texts
    bool pressureStroke = false;
};

SvgFacts read_svg(const QByteArray &bytes)
{
    SvgFacts facts;
    QXmlStreamReader xml(bytes);
    static const QStringList drawing = {QStringLiteral("path"), QStringLiteral("polyline"), QStringLiteral("polygon"),
                                        QStringLiteral("line"), QStringLiteral("rect"),     QStringLiteral("text")};
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (facts.root.isEmpty()) {
            facts.root = xml.name().toString();
            facts.viewBox = xml.attributes().value(QStringLiteral("viewBox")).toString();
            const auto number = [&](const char *name) {
                static const QRegularExpression lead(QStringLiteral(R"(^[\d.]+)"));
                return lead.match(xml.attributes().value(QString::fromLatin1(name))).captured(0).toDouble();
            };
            facts.aspect = number("height") > 0 ? number("width") / number("height") : 0;
        }
        if (drawing.contains(xml.name().toString()))
            ++facts.drawings;
        if (xml.attributes().value(QStringLiteral("stroke")).compare(PressureColor.name(), Qt::CaseInsensitive) == 0)
            facts.pressureStroke = true;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return facts;
}

// The page's size in points, or empty.
QSizeF pdf_media_box(const QByteArray &bytes)
{
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(bytes));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

int pdf_pages(const QByteArray &bytes)
{
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page(?!s))"));
    return int(QString::fromLatin1(bytes).count(page));
}

class ChartPictureSave : public TempDataFolders
{
protected:
    void SetUp() override
    {
        TempDataFolders::SetUp();
        folder = fRoot.filePath(QStringLiteral("pictures"));
        ASSERT_TRUE(QDir().mkpath(folder));
        ini = std::make_unique<TIniHandler>(fRoot.filePath(QStringLiteral("settings")),
                                            fRoot.filePath(QStringLiteral("program")));
        chart.resize(640, 400);
        chart.init_series(0xCA6500, 0x1111FF);
        chart.set_axis_range(chart.left_axis(), 0.0, 2.0);
        chart.set_axis_range(chart.right_axis(), 10.0, 30.0);
        // A run of five minutes: the pressure swings, the temperature drifts.
        for (int i = 0; i < 300; ++i)
            chart.add_point(i * 1000, exact_readings::reading(1.0 + 0.6 * std::sin(i / 20.0), 20.0 + 6 * std::cos(i / 25.0)));
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
        chart.flush_replot();

        saver = std::make_unique<TChartPictureSave>(chart, *ini);
        saver->set_clock([] { return QDateTime(QDate(2026, 3, 1), QTime(12, 0)); });
        saver->set_error_reporter([this](QWidget *, const QString &message) { errors << message; });
        saver->set_replace_asker([this](QWidget *, const QString &fileName) {
            replaceAsked << fileName;
            return replaceAnswer;
        });
    }
    void TearDown() override
    {
        file_commit::set_fault(nullptr);
        saver.reset();
        ini.reset();
        TempDataFolders::TearDown();
    }
    // The user's answers to the save dialog and the size dialog.
    void answer(const QString &typed, Format filtered, const cp::SizeChoice &size)
    {
        saver->set_file_asker([=](QWidget *, const QString &start, const QString &suggested, Format offered) {
            asked = {start, suggested, offered};
            return std::optional<TChartPictureSave::FileChoice>({typed, filtered});
        });
        saver->set_size_asker([=](QWidget *, Format, const QSize &, const cp::SizeChoice &last) {
            ++sizeAsked;
            lastSize = last;
            return std::optional<cp::SizeChoice>(size);
        });
    }
    QString path(const QString &name) const { return QDir(folder).filePath(name); }
    QStringList entries() const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

    struct Asked {
        QString folder;
        QString suggested;
        Format format = Format::Png;
    };

    QString folder;
    std::unique_ptr<TIniHandler> ini;
    TChart chart;
    std::unique_ptr<TChartPictureSave> saver;
    QStringList errors;
    QStringList replaceAsked;
    bool replaceAnswer = true;
    Asked asked;
    int sizeAsked = 0;
    cp::SizeChoice lastSize;
};

const cp::SizeChoice Shown{true, {800, 500}, true};

// Keeps the pictures for a look when the screenshot folder is set.
void keep(const QString &file)
{
    const QByteArray dir = qgetenv("ZORBIT_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    const QString copy = QDir(QString::fromLocal8Bit(dir)).filePath(QFileInfo(file).fileName());
    QFile::remove(copy);
    QFile::copy(file, copy);
}

} // namespace

TEST_F(ChartPictureSave, EveryFormatHoldsTheChartAtTheSizeAsked)
{
    const struct {
        const char *typed;
        Format filtered;
        cp::SizeChoice size;
        const char *file;
        Format format;
        QSize pixels;
    } cases[] = {
        {"shown", Format::Png, Shown, "shown.png", Format::Png, {640, 400}},
        {"free.png", Format::Pdf, {false, {1200, 300}, false}, "free.png", Format::Png, {1200, 300}},
        {"drawing", Format::Svg, Shown, "drawing.svg", Format::Svg, {640, 400}},
        {"wide.svg", Format::Svg, {false, {1280, 1000}, false}, "wide.svg", Format::Svg, {1280, 800}},
        {"page", Format::Pdf, Shown, "page.pdf", Format::Pdf, {640, 400}},
        {"large.PDF", Format::Png, {false, {2000, 2000}, true}, "large.PDF", Format::Pdf, {2000, 1250}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        answer(path(QString::fromLatin1(c.typed)), c.filtered, c.size);
        ASSERT_TRUE(saver->save()) << errors.join(u'\n').toStdString();
        const QString file = path(QString::fromLatin1(c.file));
        EXPECT_EQ(saver->last_file(), file);
        keep(file);
        const QByteArray bytes = read(file);
        switch (c.format) {
        case Format::Png: {
            const QImage image = QImage::fromData(bytes, "PNG");
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), c.pixels);
            EXPECT_GT(colours(image), 8) << "not a blank picture";
            EXPECT_GT(pixels_like(image, PressureColor), c.pixels.width() / 4) << "the pressure curve";
            EXPECT_GT(pixels_like(image, TemperatureColor), c.pixels.width() / 4) << "the temperature curve";
            break;
        }
        case Format::Svg: {
            const SvgFacts svg = read_svg(bytes);
            EXPECT_EQ(svg.root, QStringLiteral("svg"));
            EXPECT_EQ(svg.viewBox, QStringLiteral("0 0 %1 %2").arg(c.pixels.width()).arg(c.pixels.height()));
            EXPECT_NEAR(svg.aspect, double(c.pixels.width()) / c.pixels.height(), 0.01);
            EXPECT_GT(svg.drawings, 20) << "axes, grid, labels and curves";
            EXPECT_TRUE(svg.pressureStroke) << "the pressure curve";
            // Drawn again by an SVG renderer, it shows both curves.
            QSvgRenderer renderer(bytes);
            ASSERT_TRUE(renderer.isValid());
            QImage drawn(c.pixels, QImage::Format_ARGB32);
            drawn.fill(Qt::white);
            QPainter painter(&drawn);
            renderer.render(&painter);
            painter.end();
            EXPECT_GT(pixels_like(drawn, PressureColor), c.pixels.width() / 4);
            EXPECT_GT(pixels_like(drawn, TemperatureColor), c.pixels.width() / 4);
            break;
        }
        case Format::Pdf: {
            EXPECT_TRUE(bytes.startsWith("%PDF-"));
            EXPECT_EQ(pdf_pages(bytes), 1);
            // One point is 4/3 of a pixel at the screen's 96 dpi.
            const QSizeF points = pdf_media_box(bytes);
            const double perPixel = 72.0 / chart.logicalDpiY();
            EXPECT_NEAR(points.width(), c.pixels.width() * perPixel, 1.0);
            EXPECT_NEAR(points.height(), c.pixels.height() * perPixel, 1.0);
            EXPECT_GT(bytes.size(), 3000) << "more than an empty page";
            break;
        }
        }
    }
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(replaceAsked, QStringList()) << "no name was there before";
    EXPECT_EQ(QDir(ini->Get_ExportDir()), QDir(folder)) << "the next save starts here";
}

// The save dialog and the size dialog as the user meets them.
TEST_F(ChartPictureSave, TheUserPicksTheFilterTypesANameAndChoosesTheSize)
{
    ini->Set_ExportDir(QDir::toNativeSeparators(folder));
    QStringList filters;
    DialogDriver<QFileDialog> saveDialog([&](QFileDialog &dialog) {
        filters = dialog.nameFilters();
        EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("PNG image (*.png)"));
        EXPECT_EQ(QDir(dialog.directory()), QDir(folder));
        // The user picks the drawing's filter and types a name without a suffix.
        auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        emit types->activated(1);
        emit types->textActivated(types->currentText());
        dialog.selectFile(QStringLiteral("typed"));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    DialogDriver<TChartPictureDialog> sizeDialog([](TChartPictureDialog &dialog) {
        EXPECT_FALSE(dialog.findChild<QLabel *>(QStringLiteral("vector_note"))->isHidden());
        dialog.findChild<QRadioButton *>(QStringLiteral("chosen_radio"))->setChecked(true);
        dialog.findChild<QSpinBox *>(QStringLiteral("width_spin"))->setValue(960);
        const QByteArray shots = qgetenv("ZORBIT_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            dialog.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("chart_picture_dialog.png")));
        dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(saver->save()) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(saveDialog.ran());
    EXPECT_TRUE(sizeDialog.ran());
    EXPECT_EQ(filters, (QStringList{QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                                    QStringLiteral("PDF document (*.pdf)")}));
    EXPECT_EQ(saver->last_file(), path(QStringLiteral("typed.svg")));
    EXPECT_EQ(read_svg(read(path(QStringLiteral("typed.svg")))).viewBox, QStringLiteral("0 0 960 600"));
}

TEST_F(ChartPictureSave, StartsInTheExportFolderAndOffersTheLastChoices)
{
    ini->Set_ExportDir(QDir::toNativeSeparators(folder));
    answer(path(QStringLiteral("first")), Format::Pdf, {false, {1000, 700}, true});
    ASSERT_TRUE(saver->save());
    EXPECT_EQ(asked.folder, QDir::toNativeSeparators(folder));
    EXPECT_EQ(asked.suggested, QStringLiteral("chart_2026-03-01_12-00-00"));
    EXPECT_EQ(asked.format, Format::Png);
    EXPECT_EQ(lastSize, cp::SizeChoice()) << "nothing chosen yet";

    const QString other = fRoot.filePath(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(other));
    answer(QDir(other).filePath(QStringLiteral("second")), Format::Svg, Shown);
    ASSERT_TRUE(saver->save());
    EXPECT_EQ(asked.folder, QDir::toNativeSeparators(folder));
    EXPECT_EQ(asked.format, Format::Pdf);
    EXPECT_EQ(lastSize, (cp::SizeChoice{false, {1000, 700}, true}));
    EXPECT_TRUE(QFileInfo::exists(QDir(other).filePath(QStringLiteral("second.svg"))));

    answer(path(QStringLiteral("third")), Format::Png, Shown);
    ASSERT_TRUE(saver->save());
    EXPECT_EQ(asked.folder, QDir::toNativeSeparators(other)) << "where the last picture went";
    EXPECT_EQ(asked.format, Format::Svg);

    // A folder of the kernel's virtual file systems is not offered.
    ini->Set_ExportDir(QStringLiteral("/proc/self"));
    saver->set_file_asker([this](QWidget *, const QString &start, const QString &, Format) {
        asked.folder = start;
        return std::nullopt;
    });
    EXPECT_FALSE(saver->save());
    EXPECT_EQ(asked.folder, QDir::homePath());
}

TEST_F(ChartPictureSave, AnAddedSuffixThatNamesAnExistingFileIsAskedAbout)
{
    const QByteArray older = "an older drawing";
    QFile existing(path(QStringLiteral("kept.svg")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write(older);
    existing.close();

    replaceAnswer = false;
    answer(path(QStringLiteral("kept")), Format::Svg, Shown);
    EXPECT_FALSE(saver->save());
    EXPECT_EQ(replaceAsked, QStringList{path(QStringLiteral("kept.svg"))});
    EXPECT_EQ(sizeAsked, 0) << "a no ends the save";
    EXPECT_EQ(read(path(QStringLiteral("kept.svg"))), older);

    replaceAnswer = true;
    ASSERT_TRUE(saver->save());
    EXPECT_EQ(read_svg(read(path(QStringLiteral("kept.svg")))).root, QStringLiteral("svg"));

    // The save dialog asked about a name it gave with its suffix.
    replaceAsked.clear();
    answer(path(QStringLiteral("kept.svg")), Format::Svg, Shown);
    ASSERT_TRUE(saver->save());
    EXPECT_EQ(replaceAsked, QStringList());
}

TEST_F(ChartPictureSave, CancelInEitherDialogWritesNothing)
{
    const QString exportDir = ini->Get_ExportDir();
    saver->set_file_asker([](QWidget *, const QString &, const QString &, Format) { return std::nullopt; });
    saver->set_size_asker([this](QWidget *, Format, const QSize &, const cp::SizeChoice &) {
        ++sizeAsked;
        return std::nullopt;
    });
    EXPECT_FALSE(saver->save());
    EXPECT_EQ(sizeAsked, 0);

    saver->set_file_asker([this](QWidget *, const QString &, const QString &, Format) {
        return std::optional<TChartPictureSave::FileChoice>({path(QStringLiteral("never.png")), Format::Png});
    });
    EXPECT_FALSE(saver->save());
    EXPECT_EQ(sizeAsked, 1);
    EXPECT_EQ(entries(), QStringList());
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(ini->Get_ExportDir(), exportDir);
    EXPECT_TRUE(saver->last_file().isEmpty());
}

TEST_F(ChartPictureSave, AFileThatCannotBeWrittenIsRefusedInWordsAndLeavesNothing)
{
    const struct {
        const char *what;
        const char *typed;
        Format format;
        bool directoryInPlace;
        bool diskFull;
    } cases[] = {{"a directory in the file's place", "blocked.png", Format::Png, true, false},
                 {"a directory in place of the added suffix", "blocked", Format::Pdf, true, false},
                 {"disk full halfway", "full.svg", Format::Svg, false, true},
                 {"a folder that is not there", "missing/chart.pdf", Format::Pdf, false, false}};
    const QString exportDir = ini->Get_ExportDir();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        errors.clear();
        QDir(folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder));
        const cp::Target target = cp::target(path(QString::fromLatin1(c.typed)), c.format);
        if (c.directoryInPlace) {
            ASSERT_TRUE(QDir().mkpath(target.fileName));
        }
        const QStringList before = entries();
        file_commit::set_fault(c.diskFull ? file_commit::Fault([](const QString &) { return true; }) : nullptr);
        answer(path(QString::fromLatin1(c.typed)), c.format, Shown);
        EXPECT_FALSE(saver->save());
        file_commit::set_fault(nullptr);
        ASSERT_EQ(errors.size(), 1);
        const QString told = QStringLiteral("The chart could not be saved to ") +
                             QDir::toNativeSeparators(target.fileName) + QStringLiteral(": ");
        EXPECT_TRUE(errors[0].startsWith(told)) << errors[0].toStdString();
        EXPECT_GT(errors[0].mid(told.size()).trimmed().size(), 5) << "with the reason";
        EXPECT_EQ(entries(), before) << "no file, no temporary file";
        if (c.directoryInPlace) {
            EXPECT_EQ(QDir(target.fileName).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        }
        EXPECT_TRUE(saver->last_file().isEmpty());
        EXPECT_EQ(ini->Get_ExportDir(), exportDir) << "a failed save moves nothing";
    }
}

TEST_F(ChartPictureSave, ItsActionIsInTheChartsMenuAsLongAsItLives)
{
    int filesAsked = 0;
    saver->set_file_asker([&](QWidget *, const QString &, const QString &, Format) {
        ++filesAsked;
        return std::nullopt;
    });
    ASSERT_EQ(chart.actions(), QList<QAction *>{&saver->action()});
    EXPECT_EQ(saver->action().text(), QStringLiteral("Save chart as…"));
    chart.actions().constFirst()->trigger();
    EXPECT_EQ(filesAsked, 1);
    saver.reset();
    EXPECT_TRUE(chart.actions().isEmpty());
}

TEST(ChartPictureDialog, SizeControlsFollowTheFormatAndTheAspect)
{
    const QSize shown(640, 400);
    const struct {
        Format format;
        cp::SizeChoice last;
        bool keepChecked;
        bool keepEnabled;
        bool noteShown;
        QSize spins; // as shown after set_up
    } cases[] = {
        {Format::Png, {false, {1000, 300}, false}, false, true, false, {1000, 300}},
        {Format::Png, {false, {1000, 300}, true}, true, true, false, {1000, 625}},
        {Format::Svg, {false, {1000, 300}, false}, true, false, true, {1000, 625}},
        {Format::Pdf, {true, {1000, 300}, false}, true, false, true, {1000, 625}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.format == Format::Png ? "png" : "drawing") + " " +
                     testing::PrintToString(c.last.keepAspect));
        TChartPictureDialog dialog;
        dialog.set_up(c.format, shown, c.last);
        auto *width = dialog.findChild<QSpinBox *>(QStringLiteral("width_spin"));
        auto *height = dialog.findChild<QSpinBox *>(QStringLiteral("height_spin"));
        auto *keep = dialog.findChild<QCheckBox *>(QStringLiteral("keep_aspect_check"));
        auto *chosen = dialog.findChild<QRadioButton *>(QStringLiteral("chosen_radio"));
        auto *shownRadio = dialog.findChild<QRadioButton *>(QStringLiteral("shown_radio"));
        ASSERT_TRUE(width && height && keep && chosen && shownRadio);
        EXPECT_EQ(shownRadio->text(), QStringLiteral("Size shown: 640 × 400 pixels"));
        EXPECT_EQ(keep->isChecked(), c.keepChecked);
        EXPECT_EQ(shownRadio->isChecked(), c.last.shown);
        EXPECT_EQ(QSize(width->value(), height->value()), c.spins);
        EXPECT_EQ(!dialog.findChild<QLabel *>(QStringLiteral("vector_note"))->isHidden(), c.noteShown);

        chosen->setChecked(true);
        EXPECT_TRUE(width->isEnabled());
        EXPECT_EQ(keep->isEnabled(), c.keepEnabled);
        width->setValue(1280);
        EXPECT_EQ(height->value(), c.keepChecked ? 800 : c.spins.height());
        if (c.keepEnabled) {
            keep->setChecked(false);
            height->setValue(700);
            EXPECT_EQ(width->value(), 1280) << "free sides";
            EXPECT_EQ(dialog.picture_size(), QSize(1280, 700));
            keep->setChecked(true);
            EXPECT_EQ(height->value(), 800) << "ticked again, the height follows";
        }
        height->setValue(500);
        EXPECT_EQ(width->value(), 800);
        EXPECT_EQ(dialog.picture_size(), QSize(800, 500));
        EXPECT_EQ(dialog.choice(), (cp::SizeChoice{false, {800, 500}, true}));

        shownRadio->setChecked(true);
        EXPECT_FALSE(width->isEnabled());
        EXPECT_FALSE(keep->isEnabled());
        EXPECT_EQ(dialog.picture_size(), shown);
    }
}
