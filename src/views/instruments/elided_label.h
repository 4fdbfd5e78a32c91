// A one-line label that shows a text too wide for it cut at a word with an ellipsis; text()
// stays the whole text, for its tool tip and for whoever reads it. Main thread only.
#pragma once

#include <QLabel>

class TElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TElidedLabel(QWidget *parent = nullptr);

    // What the label shows at its present width.
    QString shown() const;
    // As narrow as one would like: the text never widens the window.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
