#pragma once
// Where windows go on a workstation with one or more monitors.
//
// A window manager puts a frame (title bar and borders) around each window. Every window that
// places itself places that frame, not just its contents: a window centred or put at a corner
// from its own size alone ends up with its title bar above the screen's top edge or its right
// border beyond the right one. Before a window is first shown its frame is not known yet; the
// frame of another window of the program stands in for it, and once the window manager has
// framed the window it is moved back inside the working area if it still sticks out.

#include <QMargins>

class QWidget;

namespace vantor::gui {

// The window's frame (title bar and borders) around its contents, or the best guess at it
// before the window manager has framed it; none for a frameless window or on a platform
// without frames.
QMargins FrameMarginsOf(const QWidget* form);

// Centres a window on the working area of the monitor that shows the reference window, or,
// without one, of the primary monitor.
void CenterFormOnMonitor(QWidget* form, const QWidget* reference = nullptr);

// Places a window a little below the top of its monitor's working area, centred across it.
void PlaceNearTopCentre(QWidget* form, const QWidget* reference = nullptr);

// Places a window at the top right corner of its monitor's working area, margin pixels in from
// both edges; with a right edge given (a window that was moved before), its right edge there.
void PlaceTopRight(QWidget* form, int margin, int rightEdge = -1);

}  // namespace vantor::gui
