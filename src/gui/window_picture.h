#pragma once
// Pictures of windows as a person at the desk sees them, for looking at the windows side by
// side.

#include <QPixmap>

class QWidget;

namespace vantor::gui {

// The shown window with the frame and title bar the window manager put around it, taken from
// the screen once the window manager has framed it (the window should be on top); the window's
// own contents where no window manager frames it (the offscreen platform, a bare display).
QPixmap PictureOfWindow(QWidget* window);

}  // namespace vantor::gui
