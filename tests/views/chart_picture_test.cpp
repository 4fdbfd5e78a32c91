// The chart as a picture file without the chart: format from filter and name, the picture's
// size, the device each format paints on, and failures that leave the old file whole.
#include "views/chart/chart_picture.h"
#include "services/utils/file_commit.h"
#include "qt_printers.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPaintDevice>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace cp = chart_picture;
using cp::Format;

namespace {

const char *name(Format format)
{
    return format == Format::Png ? "png" : format == Format::Svg ? "svg" : "pdf";
}

} // namespace

namespace chart_picture {
void PrintTo(Format format, std::ostream *os)
{
    *os << name(format);
}
void PrintTo(const Target &target, std::ostream *os)
{
    *os << name(target.format) << " " << target.fileName.toStdString() << (target.suffixAdded ? " (suffix added)" : "");
}
} // namespace chart_picture

TEST(ChartPicture, FormatFromTheFilterPatternAndFromTheNamesSuffix)
{
    const struct {
        const char *filter;
        std::optional<Format> format;
    } filters[] = {{"PNG image (*.png)", Format::Png},
                   {"SVG-Zeichnung (*.svg)", Format::Svg}, // the caption is translated, the pattern not
                   {"PDF (*.PDF)", Format::Pdf},
                   {"All files (*)", std::nullopt},
                   {"Pictures (*.jpg)", std::nullopt},
                   {"png", std::nullopt}};
    for (const auto &c : filters)
        EXPECT_EQ(cp::format_of_filter(QString::fromUtf8(c.filter)), c.format) << c.filter;
    for (Format format : cp::Formats)
        EXPECT_EQ(cp::format_of_filter(cp::filter(format, QStringLiteral("Any caption"))), format) << name(format);

    const struct {
        const char *fileName;
        std::optional<Format> format;
    } names[] = {{"/d/chart.png", Format::Png},   {"/d/chart.SVG", Format::Svg},
                 {"/d/chart.Pdf", Format::Pdf},   {"/d/chart", std::nullopt},
                 {"/d/chart.txt", std::nullopt},  {"/d/run.pdf/chart", std::nullopt}, // a folder's suffix
                 {"/d/.png", std::nullopt},       {"/d/chart.svg.png", Format::Png}};
    for (const auto &c : names)
        EXPECT_EQ(cp::format_of_name(QString::fromLatin1(c.fileName)), c.format) << c.fileName;
}

TEST(ChartPicture, TypedSuffixDecidesOtherwiseTheFilterAddsItsOwn)
{
    const struct {
        const char *typed;
        Format filtered;
        cp::Target expected;
    } cases[] = {
        {"/d/chart.png", Format::Png, {Format::Png, QStringLiteral("/d/chart.png"), false}},
        // The name wins over the filter.
        {"/d/chart.PDF", Format::Png, {Format::Pdf, QStringLiteral("/d/chart.PDF"), false}},
        {"/d/chart", Format::Svg, {Format::Svg, QStringLiteral("/d/chart.svg"), true}},
        {"/d/chart.", Format::Png, {Format::Png, QStringLiteral("/d/chart.png"), true}},
        {"/d/run.v2", Format::Svg, {Format::Svg, QStringLiteral("/d/run.v2.svg"), true}},
        {"/d/chart.jpg", Format::Pdf, {Format::Pdf, QStringLiteral("/d/chart.jpg.pdf"), true}},
        {"/d/my.pics/chart", Format::Pdf, {Format::Pdf, QStringLiteral("/d/my.pics/chart.pdf"), true}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cp::target(QString::fromLatin1(c.typed), c.filtered), c.expected) << c.typed;
}

TEST(ChartPicture, DefaultNameHasNoSuffixSoTheFilterAddsIt)
{
    const QString suggested = cp::default_name(QDateTime(QDate(2026, 3, 1), QTime(14, 5, 9)));
    EXPECT_EQ(suggested, QStringLiteral("chart_2026-03-01_14-05-09"));
    EXPECT_EQ(cp::format_of_name(suggested), std::nullopt);
}

TEST(ChartPicture, PictureSizeShownOrChosenWithTheAspectKept)
{
    const QSize shown(640, 400);
    const struct {
        const char *what;
        Format format;
        QSize shown;
        cp::SizeChoice choice;
        QSize expected;
    } cases[] = {
        {"shown", Format::Png, shown, {true, {100, 100}, false}, {640, 400}},
        {"shown, drawing", Format::Pdf, shown, {true, {100, 100}, true}, {640, 400}},
        {"never laid out", Format::Png, {0, 0}, {true, {}, true}, cp::FallbackSize},
        {"too small to picture", Format::Svg, {30, 400}, {true, {}, true}, cp::FallbackSize},
        {"free", Format::Png, shown, {false, {1000, 300}, false}, {1000, 300}},
        {"kept, width leads", Format::Png, shown, {false, {1280, 1000}, true}, {1280, 800}},
        {"kept, height leads", Format::Png, shown, {false, {2000, 500}, true}, {800, 500}},
        {"drawing keeps it anyway", Format::Svg, shown, {false, {1000, 300}, false}, {480, 300}},
        {"PDF keeps it anyway", Format::Pdf, shown, {false, {320, 320}, false}, {320, 200}},
        {"held at the largest", Format::Png, shown, {false, {20000, 9000}, false}, {cp::MaxSide, cp::MaxSide}},
        {"held at the smallest", Format::Png, shown, {false, {0, -5}, false}, {cp::MinSide, cp::MinSide}},
        {"largest, kept", Format::Pdf, shown, {false, {20000, 20000}, true}, {cp::MaxSide, 5000}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cp::picture_size(c.format, c.shown, c.choice), c.expected) << c.what;
}

TEST(ChartPicture, OtherSideFollowsTheShownAspectWithinTheLimits)
{
    const struct {
        QSize shown;
        int width;
        int height;
    } cases[] = {{{640, 400}, 1280, 800}, {{640, 400}, 333, 208}, {{997, 500}, 1000, 502},
                 {{640, 400}, 60, cp::MinSide}, {{400, 640}, 6000, cp::MaxSide}, {{0, 0}, 1600, 1000}};
    for (const auto &c : cases)
        EXPECT_EQ(cp::height_for_width(c.shown, c.width), c.height) << testing::PrintToString(c.shown) << " " << c.width;
    EXPECT_EQ(cp::width_for_height(QSize(640, 400), 800), 1280);
    EXPECT_EQ(cp::width_for_height(QSize(640, 400), 7000), cp::MaxSide);
}

// Each format paints on a device of the picture's size, raster or vector, and makes its file.
TEST(ChartPicture, EveryFormatPaintsOnADeviceOfThePictureSize)
{
    const struct {
        Format format;
        QSize size;
        bool vector;
        const char *starts;
    } cases[] = {{Format::Png, {640, 400}, false, "\x89PNG"}, {Format::Png, {801, 333}, false, "\x89PNG"},
                 {Format::Svg, {640, 400}, true, "<?xml"},    {Format::Svg, {333, 801}, true, "<?xml"},
                 {Format::Pdf, {640, 400}, true, "%PDF-"},    {Format::Pdf, {801, 333}, true, "%PDF-"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(name(c.format)) + " " + std::to_string(c.size.width()) + "x" +
                     std::to_string(c.size.height()));
        QSize device;
        bool vector = !c.vector;
        QString error;
        const QByteArray bytes = cp::encode({c.format, c.size, 96, QStringLiteral("t")},
                                            [&](QPaintDevice &d, const QSize &size, bool v) {
                                                device = QSize(d.width(), d.height());
                                                vector = v;
                                                EXPECT_EQ(size, c.size);
                                                QPainter painter(&d);
                                                painter.fillRect(QRect(QPoint(0, 0), size), Qt::red);
                                                return true;
                                            },
                                            error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(vector, c.vector);
        // A page has whole points: a pixel more or less is all it may differ by.
        EXPECT_NEAR(device.width(), c.size.width(), 1);
        EXPECT_NEAR(device.height(), c.size.height(), 1);
        EXPECT_TRUE(bytes.startsWith(c.starts)) << bytes.left(16).toStdString();
        if (c.format == Format::Png) {
            const QImage image = QImage::fromData(bytes, "PNG");
            EXPECT_EQ(image.size(), c.size);
            EXPECT_EQ(image.pixelColor(c.size.width() - 1, c.size.height() - 1), QColor(Qt::red));
        }
    }
}

namespace {

class ChartPictureFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void TearDown() override { file_commit::set_fault(nullptr); }
    QString path(const char *file) const { return folder.filePath(QString::fromLatin1(file)); }
    QStringList entries() const
    {
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }
    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir folder;
};

bool paintWhite(QPaintDevice &device, const QSize &size, bool)
{
    QPainter painter(&device);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    return true;
}

} // namespace

TEST_F(ChartPictureFile, WrittenWholeOverTheOldFile)
{
    QFile old(path("chart.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older picture");
    old.close();
    EXPECT_EQ(cp::save(path("chart.png"), {Format::Png, {120, 80}, 96, {}}, paintWhite), QString());
    EXPECT_EQ(QImage(path("chart.png")).size(), QSize(120, 80));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("chart.png")}) << "no temporary file stays";
}

TEST_F(ChartPictureFile, FailureIsToldAndLeavesTheOldFileWhole)
{
    const QByteArray older = "an older picture";
    const struct {
        const char *what;
        QSize size;
        bool painted;
        bool directoryInPlace;
        bool diskFull;
    } cases[] = {{"drawing failed", {120, 80}, false, false, false},
                 {"no size", {0, 80}, true, false, false},
                 {"a directory in the file's place", {120, 80}, true, true, false},
                 {"disk full halfway", {120, 80}, true, false, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = path("chart.pdf");
        QDir(folder.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder.path()));
        if (c.directoryInPlace) {
            ASSERT_TRUE(QDir().mkpath(file));
        } else {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(older);
        }
        file_commit::set_fault(c.diskFull ? file_commit::Fault([](const QString &) { return true; }) : nullptr);
        const QString error = cp::save(file, {Format::Pdf, c.size, 96, {}},
                                       [&](QPaintDevice &device, const QSize &size, bool vector) {
                                           return c.painted && paintWhite(device, size, vector);
                                       });
        file_commit::set_fault(nullptr);
        EXPECT_FALSE(error.trimmed().isEmpty()) << "told in words";
        EXPECT_EQ(entries(), QStringList{QStringLiteral("chart.pdf")}) << "nothing beside it";
        if (c.directoryInPlace)
            EXPECT_TRUE(QFileInfo(file).isDir());
        else
            EXPECT_EQ(read(file), older);
    }
}
