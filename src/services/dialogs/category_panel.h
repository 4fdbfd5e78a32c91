// A panel with a caption bar that folds its content away and back when the bar is clicked.
// Its content is laid out below the bar; the panel keeps its designed height while open.
// GUI thread only.
#pragma once

#include <QString>
#include <QWidget>

class TCategoryPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(int expandedHeight READ expandedHeight WRITE setExpandedHeight)

public:
    static constexpr int HeaderHeight = 24;

    explicit TCategoryPanel(QWidget *parent = nullptr);

    QString caption() const { return fCaption; }
    void setCaption(const QString &caption);
    // The height while open, caption bar included.
    int expandedHeight() const { return fExpandedHeight; }
    void setExpandedHeight(int height);
    bool collapsed() const { return fCollapsed; }
    void setCollapsed(bool collapsed);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void applyHeight();

    QString fCaption;
    int fExpandedHeight = 100;
    bool fCollapsed = false;
};
