// Applies a visual look to the whole application by name. GUI thread only.
#pragma once

#include "services/dialogs/themes_palettes.h"

#include <QString>
#include <QStringList>

namespace themes {

// The style list: the platform's own look first, then the five themes.
QStringList names();
// Applies the look of that name (palette and base style) to the application. An unknown name,
// or a base style the platform lacks, changes nothing and gives false.
bool apply(const QString &name);
// The name of the look in use: the last one applied, at first the platform's own.
QString activeName();

} // namespace themes
