#include "views/instruments/elided_label.h"

#include "views/instruments/word_elide.h"

#include <QPainter>
#include <QStyle>

TElidedLabel::TElidedLabel(QWidget *parent) : QLabel(parent)
{
}

QString TElidedLabel::shown() const
{
    const QFontMetrics metrics = fontMetrics();
    const int width = contentsRect().width() - 2 * margin();
    return word_elide::elided(text(), width, [&metrics](const QString &t) { return metrics.horizontalAdvance(t); });
}

QSize TElidedLabel::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}

void TElidedLabel::paintEvent(QPaintEvent *)
{
    const QString visible = shown();
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), visible, foregroundRole());
}
