#pragma once
// The chart as a picture file: which format a save asks for, the picture's size, and the file
// written whole or not at all. Widget-free and stateless; the painting runs on the caller's thread.
#include <QByteArray>
#include <QDateTime>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPaintDevice;

namespace chart_picture {

enum class Format { Png, Svg, Pdf };
constexpr Format Formats[] = {Format::Png, Format::Svg, Format::Pdf};

// "png", "svg", "pdf": the suffix a file of the format ends with.
QString suffix(Format format);
// A raster picture has the pixels asked for; a drawing keeps the chart's shape at any size.
bool vector(Format format);

// The save dialog's filter of a format: `caption` and its pattern, "PNG image (*.png)".
QString filter(Format format, const QString &caption);
// The format a filter of the save dialog stands for, from its pattern; none for another filter.
std::optional<Format> format_of_filter(const QString &filter);
// The format a file name's suffix names, in any case; none without a picture suffix.
std::optional<Format> format_of_name(const QString &fileName);

struct Target {
    Format format = Format::Png;
    QString fileName;
    // The suffix was added to the name the user gave.
    bool suffixAdded = false;
    bool operator==(const Target &o) const
    {
        return format == o.format && fileName == o.fileName && suffixAdded == o.suffixAdded;
    }
};
// A typed picture suffix decides the format; otherwise the chosen filter does and its suffix
// ends the name ("chart" → "chart.png", "run.v2" → "run.v2.svg").
Target target(const QString &typed, Format chosen);

// A name to offer, without a suffix, so that the chosen filter adds its own.
QString default_name(const QDateTime &when);

// Sides of a chosen size, in pixels.
constexpr int MinSide = 50;
constexpr int MaxSide = 8000;
// A chart that was never laid out is pictured at this size.
constexpr QSize FallbackSize{800, 500};

struct SizeChoice {
    bool shown = true;     // the size the chart has on the screen
    QSize chosen{800, 500}; // otherwise width × height
    bool keepAspect = true; // the chart's shape kept inside width × height
    bool operator==(const SizeChoice &o) const
    {
        return shown == o.shown && chosen == o.chosen && keepAspect == o.keepAspect;
    }
};
// The chart's size on the screen, or the fallback for one too small to picture.
QSize shown_size(const QSize &widget);
// Drawings always keep the chart's shape; a chosen size is held within the side limits.
QSize picture_size(Format format, const QSize &shown, const SizeChoice &choice);
// The other side that keeps the shape of `shown` for a given width or height, within the limits.
int height_for_width(const QSize &shown, int width);
int width_for_height(const QSize &shown, int height);

// Paints the chart onto `device`, which is `size` device pixels large, `vector` for a drawing,
// and ends its painter before it returns; false when it could not paint.
using Painter = std::function<bool(QPaintDevice &device, const QSize &size, bool vector)>;

struct Request {
    Format format = Format::Png;
    QSize size;
    // The screen's resolution, so that texts take the share of the picture they take on the screen.
    int dpi = 96;
    QString title;
};
// The file's bytes, or empty with the reason in `error`.
QByteArray encode(const Request &request, const Painter &paint, QString &error);
// Writes the picture through a temporary file in the same folder that replaces `fileName` once
// complete; a failure leaves whatever was there. Returns the reason of a failure, empty on success.
QString save(const QString &fileName, const Request &request, const Painter &paint);

} // namespace chart_picture
