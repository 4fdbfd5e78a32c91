// The program's artwork, drawn with QPainter.
#pragma once

#include <QImage>
#include <QString>

// Four 32 x 32 icons side by side: warning, error, information, confirmation.
QImage drawDialogIconStrip();
// Writes a 32-bit bitmap with its alpha channel (the plain writer drops it).
bool writeBmpWithAlpha(const QImage &image, const QString &fileName);

// The product picture of the splash window and the about box.
QImage drawProductPicture();
