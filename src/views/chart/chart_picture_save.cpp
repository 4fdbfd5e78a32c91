#include "views/chart/chart_picture_save.h"

#include "services/dialogs/msgDialogForm.h"
#include "services/settings/IniHandler.h"
#include "services/settings/window_text.h"
#include "views/chart/chart.h"
#include "views/chart/chart_picture_dialog.h"
#include "views/windows/table_export.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

using window_text::tr_;
namespace cp = chart_picture;

namespace {

QString filter_caption(cp::Format format)
{
    switch (format) {
    case cp::Format::Svg: return tr_("picture_svg", "SVG drawing");
    case cp::Format::Pdf: return tr_("picture_pdf", "PDF document");
    case cp::Format::Png: break;
    }
    return tr_("picture_png", "PNG image");
}

std::optional<TChartPictureSave::FileChoice> ask_file(QWidget *parent, const QString &folder,
                                                      const QString &suggested, cp::Format format)
{
    QFileDialog dialog(parent, tr_("save_chart_title", "Save chart as"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (cp::Format f : cp::Formats)
        filters.append(cp::filter(f, filter_caption(f)));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(cp::filter(format, filter_caption(format)));
    // The dialog adds the filter's suffix to a name without one before it asks about replacing.
    dialog.setDefaultSuffix(cp::suffix(format));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        if (const std::optional<cp::Format> chosen = cp::format_of_filter(filter))
            dialog.setDefaultSuffix(cp::suffix(*chosen));
    });
    dialog.setDirectory(folder);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return TChartPictureSave::FileChoice{dialog.selectedFiles().constFirst(),
                                         cp::format_of_filter(dialog.selectedNameFilter()).value_or(format)};
}

std::optional<cp::SizeChoice> ask_size(QWidget *parent, cp::Format format, const QSize &shown,
                                       const cp::SizeChoice &last)
{
    TChartPictureDialog dialog(parent);
    dialog.set_up(format, shown, last);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

bool ask_replace(QWidget *, const QString &fileName)
{
    const QString question = tr_("picture_replace", "%1 already exists. Do you want to replace it?");
    return TmsgDialog::createDialog(question.arg(QDir::toNativeSeparators(fileName)), mtConfirmation,
                                    {mbYes, mbNo}, mbNo) == msg_dialog::resultCode(mbYes);
}

void report_error(QWidget *, const QString &message)
{
    TmsgDialog::createDialog(message, mtError, {mbOk});
}

} // namespace

TChartPictureSave::TChartPictureSave(TChart &chart, TIniHandler &ini, QObject *parent)
    : QObject(parent),
      fChart(chart),
      fIni(ini),
      fAskFile(ask_file),
      fAskSize(ask_size),
      fAskReplace(ask_replace),
      fReportError(report_error),
      fNow([] { return QDateTime::currentDateTime(); })
{
    fAction = new QAction(this); // owned by this object; the chart forgets it when it goes
    fAction->setObjectName(QStringLiteral("save_chart_Action"));
    connect(fAction, &QAction::triggered, this, [this] { save(); });
    fChart.addAction(fAction);
    translateCaptions();
}

TChartPictureSave::~TChartPictureSave() = default;

void TChartPictureSave::translateCaptions()
{
    fAction->setText(tr_("save_chart", "Save chart as…"));
}

QWidget *TChartPictureSave::dialog_parent() const
{
    return fChart.window();
}

bool TChartPictureSave::save()
{
    QWidget *parent = dialog_parent();
    QString folder = fIni.Get_ExportDir();
    // Reading a folder of the kernel's virtual file systems can block the save dialog.
    if (table_export::virtual_folder(folder))
        folder = QDir::homePath();
    const std::optional<FileChoice> file = fAskFile(parent, folder, cp::default_name(fNow()), fFormat);
    if (!file || file->typed.isEmpty())
        return false;
    const cp::Target target = cp::target(file->typed, file->filtered);
    // The dialog asked about the name it gave, not about the one with the suffix added.
    if (target.suffixAdded && QFileInfo::exists(target.fileName) && !fAskReplace(parent, target.fileName))
        return false;
    const std::optional<cp::SizeChoice> size = fAskSize(parent, target.format, fChart.size(), fSize);
    if (!size)
        return false;
    fFormat = target.format;
    fSize = *size;

    cp::Request request;
    request.format = target.format;
    request.size = cp::picture_size(target.format, fChart.size(), *size);
    request.dpi = fChart.logicalDpiY();
    request.title = QStringLiteral("Orvel I2C Zorbit ") + QFileInfo(target.fileName).completeBaseName();
    const QString error = cp::save(target.fileName, request, [this](QPaintDevice &device, const QSize &at, bool vector) {
        return fChart.paint_picture(device, at, vector);
    });
    if (!error.isEmpty()) {
        const QString message = tr_("chart_not_saved", "The chart could not be saved to %1: %2");
        fReportError(parent, message.arg(QDir::toNativeSeparators(target.fileName), error));
        return false;
    }
    fLastFile = target.fileName;
    const QString saved = QFileInfo(target.fileName).absolutePath();
    if (!table_export::virtual_folder(saved))
        fIni.Set_ExportDir(QDir::toNativeSeparators(saved));
    return true;
}
