#include "services/dialogs/category_panel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

TCategoryPanel::TCategoryPanel(QWidget *parent) : QWidget(parent)
{
    // A layout set on the panel places the content below the caption bar.
    setContentsMargins(0, HeaderHeight, 0, 0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    applyHeight();
}

void TCategoryPanel::setCaption(const QString &caption)
{
    fCaption = caption;
    update(0, 0, width(), HeaderHeight);
}

void TCategoryPanel::setExpandedHeight(int height)
{
    fExpandedHeight = qMax(height, HeaderHeight);
    applyHeight();
}

void TCategoryPanel::setCollapsed(bool collapsed)
{
    if (fCollapsed == collapsed)
        return;
    fCollapsed = collapsed;
    for (QWidget *child : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->setVisible(!collapsed);
    applyHeight();
    update();
}

void TCategoryPanel::applyHeight()
{
    setFixedHeight(fCollapsed ? HeaderHeight : fExpandedHeight);
}

void TCategoryPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && event->position().y() < HeaderHeight) {
        setCollapsed(!fCollapsed);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TCategoryPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &pal = palette();
    const QRect bar(0, 0, width(), HeaderHeight);
    QLinearGradient shade(bar.topLeft(), bar.bottomLeft());
    shade.setColorAt(0, pal.color(QPalette::Button).lighter(112));
    shade.setColorAt(1, pal.color(QPalette::Button).darker(108));
    painter.fillRect(bar, shade);
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawLine(bar.bottomLeft(), bar.bottomRight());
    if (!fCollapsed) {
        painter.fillRect(QRect(0, HeaderHeight, width(), height() - HeaderHeight), pal.color(QPalette::Window));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(pal.color(QPalette::ButtonText));
    painter.drawText(bar.adjusted(8, 0, -28, 0), Qt::AlignVCenter | Qt::AlignLeft, fCaption);

    // A chevron at the right: up while open, down while folded.
    const int cx = width() - 14;
    const int cy = HeaderHeight / 2;
    const int d = fCollapsed ? 1 : -1;
    QPainterPath chevron;
    chevron.moveTo(cx - 4, cy - 2 * d);
    chevron.lineTo(cx, cy + 2 * d);
    chevron.lineTo(cx + 4, cy - 2 * d);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(pal.color(QPalette::ButtonText), 1.6));
    painter.drawPath(chevron);
}
