#include "app/product_view.h"

#include "app/product_info.h"
#include "services/settings/window_text.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>

// Resources of a static library must be registered by name, outside any namespace.
static void initShellResources() { Q_INIT_RESOURCE(shell); }

namespace product_view {

namespace {

const QColor CardColour(0xFF, 0xFF, 0xFF);
const QColor InkColour(0x1D, 0x27, 0x33);
const QColor CaptionColour(0x5B, 0x67, 0x74);
const QColor BorderColour(0xB8, 0xC3, 0xCD);

// Below the product name of the picture.
constexpr int LabelsLeft = 342;
constexpr int LabelsTop = 184;
// The tagline sits on the picture's base line under the product name, in its lettering.
constexpr int TaglineLeft = 341;
constexpr int TaglineBaseline = 148;
constexpr int TaglinePixels = 15;

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QColor &colour, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    QFont font = label->font();
    font.setPointSize(10);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

QPixmap picture()
{
    initShellResources();
    return QPixmap(QStringLiteral(":/images/zorbit_product.png"));
}

Labels addPictureAndLabels(QWidget *form)
{
    QPalette card = form->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        card.setColor(group, QPalette::Window, CardColour);
        card.setColor(group, QPalette::WindowText, InkColour);
    }
    form->setPalette(card);
    form->setAutoFillBackground(true);

    auto *image = new QLabel(form);
    image->setObjectName(QStringLiteral("picture_img"));
    image->setPixmap(picture());
    // One pixel in, so that the border painted by the form stays visible.
    image->setGeometry(1, 1, form->width() - 2, form->height() - 2);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *tagline = makeLabel(form, QStringLiteral("tagline_label"), QString(), CaptionColour, false);
    QFont lettering(QStringLiteral("Nimbus Sans"));
    lettering.setPixelSize(TaglinePixels);
    tagline->setFont(lettering);
    const int ascent = tagline->fontMetrics().ascent();
    tagline->setGeometry(TaglineLeft, TaglineBaseline - ascent, form->width() - TaglineLeft - 24,
                         tagline->fontMetrics().height());

    auto *grid = new QWidget(form);
    grid->setObjectName(QStringLiteral("version_panel"));
    auto *layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(4);
    Labels labels{makeLabel(grid, QStringLiteral("version_label"), QString(), InkColour, true),
                  makeLabel(grid, QStringLiteral("built_label"), QString(), InkColour, false),
                  tagline,
                  makeLabel(grid, QStringLiteral("version_title"), QString(), CaptionColour, false),
                  makeLabel(grid, QStringLiteral("built_title"), QString(), CaptionColour, false)};
    layout->addWidget(labels.versionTitle, 0, 0);
    layout->addWidget(labels.version, 0, 1);
    layout->addWidget(labels.builtTitle, 1, 0);
    layout->addWidget(labels.built, 1, 1);
    layout->setColumnStretch(1, 1);
    grid->setGeometry(LabelsLeft, LabelsTop, form->width() - LabelsLeft - 24, grid->sizeHint().height());
    return labels;
}

void fillLabels(const Labels &labels)
{
    using window_text::tr_;
    labels.tagline->setText(tr_("tagline", "Service tool for digital pressure transmitters"));
    labels.versionTitle->setText(tr_("version", "Version"));
    labels.builtTitle->setText(tr_("built", "Built"));
    labels.version->setText(product_info::Version);
    labels.built->setText(product_info::programBuildStamp());
    QWidget *panel = labels.versionTitle->parentWidget(); // as high as its words now are
    panel->resize(panel->width(), panel->sizeHint().height());
}

void paintBorder(QWidget *form)
{
    QPainter painter(form);
    painter.setPen(BorderColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(form->rect().adjusted(0, 0, -1, -1));
}

} // namespace product_view
