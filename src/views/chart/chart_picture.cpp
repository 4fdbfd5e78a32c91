#include "views/chart/chart_picture.h"

#include "services/utils/file_commit.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace chart_picture {

namespace {

constexpr double InchesPerMeter = 1.0 / 0.0254;
constexpr double PointsPerInch = 72.0;

int bounded(int side)
{
    return std::clamp(side, MinSide, MaxSide);
}

QByteArray png(const Request &request, const Painter &paint, QString &error)
{
    QImage image(request.size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        error = QStringLiteral("not enough memory for a picture of %1 × %2 pixels")
                    .arg(request.size.width())
                    .arg(request.size.height());
        return {};
    }
    image.fill(Qt::white);
    const int dotsPerMeter = int(std::lround(request.dpi * InchesPerMeter));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    if (!paint(image, request.size, false)) {
        error = QStringLiteral("the chart could not be drawn");
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = QStringLiteral("the picture could not be encoded as PNG");
        return {};
    }
    return bytes;
}

QByteArray svg(const Request &request, const Painter &paint, QString &error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(request.size);
    generator.setViewBox(QRect(QPoint(0, 0), request.size));
    generator.setResolution(request.dpi);
    generator.setTitle(request.title);
    if (!paint(generator, request.size, true)) {
        error = QStringLiteral("the chart could not be drawn");
        return {};
    }
    return bytes;
}

QByteArray pdf(const Request &request, const Painter &paint, QString &error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(request.dpi);
    writer.setTitle(request.title);
    writer.setCreator(request.title);
    // One page exactly as large as the picture, so that a pixel of it is one at the screen's resolution.
    const QSizeF points(request.size.width() * PointsPerInch / request.dpi,
                        request.size.height() * PointsPerInch / request.dpi);
    const QPageLayout layout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                             QPageLayout::Portrait, QMarginsF(), QPageLayout::Point);
    if (!writer.setPageLayout(layout)) {
        error = QStringLiteral("no PDF page of %1 × %2 points").arg(points.width()).arg(points.height());
        return {};
    }
    if (!paint(writer, request.size, true)) {
        error = QStringLiteral("the chart could not be drawn");
        return {};
    }
    return bytes;
}

} // namespace

QString suffix(Format format)
{
    switch (format) {
    case Format::Svg: return QStringLiteral("svg");
    case Format::Pdf: return QStringLiteral("pdf");
    case Format::Png: break;
    }
    return QStringLiteral("png");
}

bool vector(Format format)
{
    return format != Format::Png;
}

QString filter(Format format, const QString &caption)
{
    return caption + QStringLiteral(" (*.") + suffix(format) + u')';
}

std::optional<Format> format_of_filter(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\(\*\.(\w+)\)\s*$)"));
    const QRegularExpressionMatch m = pattern.match(filter);
    if (!m.hasMatch())
        return std::nullopt;
    for (Format format : Formats)
        if (m.captured(1).compare(suffix(format), Qt::CaseInsensitive) == 0)
            return format;
    return std::nullopt;
}

std::optional<Format> format_of_name(const QString &fileName)
{
    const QFileInfo info(fileName);
    // A bare ".png" is a name, not a suffix.
    if (info.completeBaseName().isEmpty())
        return std::nullopt;
    for (Format format : Formats)
        if (info.suffix().compare(suffix(format), Qt::CaseInsensitive) == 0)
            return format;
    return std::nullopt;
}

Target target(const QString &typed, Format chosen)
{
    if (const std::optional<Format> named = format_of_name(typed))
        return {*named, typed, false};
    QString name = typed;
    if (name.endsWith(u'.'))
        name.chop(1);
    return {chosen, name + u'.' + suffix(chosen), true};
}

QString default_name(const QDateTime &when)
{
    return QStringLiteral("chart_") + when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

QSize shown_size(const QSize &widget)
{
    if (widget.width() < MinSide || widget.height() < MinSide)
        return FallbackSize;
    return widget;
}

QSize picture_size(Format format, const QSize &shown, const SizeChoice &choice)
{
    const QSize screen = shown_size(shown);
    if (choice.shown)
        return screen;
    const QSize box(bounded(choice.chosen.width()), bounded(choice.chosen.height()));
    if (!vector(format) && !choice.keepAspect)
        return box;
    return screen.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

int height_for_width(const QSize &shown, int width)
{
    const QSize screen = shown_size(shown);
    return bounded(int(std::lround(double(width) * screen.height() / screen.width())));
}

int width_for_height(const QSize &shown, int height)
{
    const QSize screen = shown_size(shown);
    return bounded(int(std::lround(double(height) * screen.width() / screen.height())));
}

QByteArray encode(const Request &request, const Painter &paint, QString &error)
{
    error.clear();
    if (request.size.width() < 1 || request.size.height() < 1 || request.dpi < 1) {
        error = QStringLiteral("no picture of %1 × %2 pixels").arg(request.size.width()).arg(request.size.height());
        return {};
    }
    QByteArray bytes;
    switch (request.format) {
    case Format::Png: bytes = png(request, paint, error); break;
    case Format::Svg: bytes = svg(request, paint, error); break;
    case Format::Pdf: bytes = pdf(request, paint, error); break;
    }
    if (error.isEmpty() && bytes.isEmpty())
        error = QStringLiteral("the picture came out empty");
    return error.isEmpty() ? bytes : QByteArray();
}

QString save(const QString &fileName, const Request &request, const Painter &paint)
{
    QString error;
    const QByteArray bytes = encode(request, paint, error);
    if (!error.isEmpty())
        return error;
    return file_commit::replace(fileName, bytes);
}

} // namespace chart_picture
