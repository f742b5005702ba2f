#pragma once
// The look of a model's colour: a plain colour as it is, a desktop colour from the palette.

#include <QColor>
#include <QPalette>

#include "common/stored_colour.h"

namespace vantor::gui {

QColor ToQColor(const DisplayColour& colour, const QPalette& palette);

}  // namespace vantor::gui
