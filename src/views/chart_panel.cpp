#include "chart_panel.h"

#include "ZUtils.h"
#include "chart_gradient.h"
#include "input_fields.h"
#include "lock_pictures.h"
#include "shape.h"
#include "ui_chart_panel.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QPixmap>

namespace {

bool ask_color(QWidget *parent, TColor initial, TColor &chosen)
{
    const QColor color = QColorDialog::getColor(TColorToQColor(initial), parent);
    if (!color.isValid())
        return false;
    chosen = RgbToTColor(color.rgb());
    return true;
}

} // namespace

TChartPanel::TChartPanel(QWidget *parent)
    : QTabWidget(parent), ui(std::make_unique<Ui::TChartPanel>()), fAskColor(ask_color)
{
    ui->setupUi(this);
    ui->gradient_combo->addItems(chart_gradient::entry_labels());
    for (QLineEdit *edit : number_edits())
        edit->installEventFilter(this);
    show_axis_mode(0);
}

TChartPanel::~TChartPanel() = default;

QList<QLineEdit *> TChartPanel::number_edits() const
{
    return {ui->left_max, ui->left_min, ui->increment_left, ui->right_max, ui->right_min, ui->increment_right};
}

void TChartPanel::pick_shape_color(TShape &swatch)
{
    TColor chosen = swatch.Get_brush_color();
    if (fAskColor(window(), swatch.Get_brush_color(), chosen))
        swatch.Set_brush_color(chosen);
}

void TChartPanel::show_axis_mode(int mode)
{
    fMode = mode;
    ui->lock_icon->setIcon(QIcon(QPixmap::fromImage(lock_pictures::picture(mode))));
}

int TChartPanel::gradient_direction() const
{
    return chart_gradient::code_of_entry(ui->gradient_combo->currentIndex());
}

void TChartPanel::set_gradient_direction(int code)
{
    ui->gradient_combo->setCurrentIndex(chart_gradient::entry_of_code(code));
}

bool TChartPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return QTabWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (event->type() == QEvent::KeyRelease) {
        if (enter && !edit->text().isEmpty())
            emit edit_committed(edit);
        return false;
    }
    // Shortcuts (copy, select all, ...), editing keys and keys without a character pass untouched.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString typed = key->text();
    if (typed.size() != 1 || !typed.front().isPrint())
        return false;
    return input_fields::filter_numeric_key(typed.front(), edit->text(), ZString::LocaleDecimalSeparator());
}
