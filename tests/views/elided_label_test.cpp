// The status bar's label: a long text is cut at a word on the screen and kept whole for readers.
#include "views/instruments/elided_label.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

TEST(ElidedLabel, ALongTextIsCutAtAWordAndNeverWidensItsWindow)
{
    QWidget window;
    auto *layout = new QHBoxLayout(&window); // owned by the window
    auto *label = new TElidedLabel(&window); // owned by the window
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(label);
    const QString text = QStringLiteral("The transmitter no longer holds the image the scan read. Nothing was written; "
                                        "give the scan another go.");
    label->setText(text);
    window.resize(260, 40);
    window.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(label->text(), text);
    const QString shown = label->shown();
    ASSERT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    const QString kept = shown.chopped(1);
    EXPECT_TRUE(text.startsWith(kept));
    EXPECT_TRUE(text.at(kept.size()).isSpace() || text.at(kept.size()).isPunct())
        << "cut inside a word: " << shown.toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
    EXPECT_LE(window.minimumSizeHint().width(), 260);

    window.resize(2000, 40);
    QCoreApplication::processEvents();
    EXPECT_EQ(label->shown(), text) << "room enough: the whole text";
}
