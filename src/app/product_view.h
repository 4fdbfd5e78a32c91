// What the splash window and the about box share: the product picture on a white card with the
// tagline and the "Version" and "Built" labels below the product name. GUI thread only.
#pragma once

#include <QPixmap>

class QLabel;
class QWidget;

namespace product_view {

// The picture, built into the program so that no installation can lose it.
QPixmap picture();

struct Labels {
    QLabel *version;
    QLabel *built;
    QLabel *tagline;
    QLabel *versionTitle;
    QLabel *builtTitle;
};

// Puts the picture and the labels onto `form` (white, dark text, whatever the theme).
Labels addPictureAndLabels(QWidget *form);
// Fills the labels: version 1.3, build time of the program file, the words in the current
// language.
void fillLabels(const Labels &labels);
// A hairline around a borderless window, so its edge shows on a light desktop.
void paintBorder(QWidget *form);

} // namespace product_view
