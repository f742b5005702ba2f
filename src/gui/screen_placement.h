#pragma once
// Where windows go on a workstation with one or more monitors.

class QWidget;

namespace vantor::gui {

// Centres a window on the working area of the monitor that shows the reference window, or,
// without one, of the primary monitor.
void CenterFormOnMonitor(QWidget* form, const QWidget* reference = nullptr);

// Places a window a little below the top of its monitor's working area, centred across it.
void PlaceNearTopCentre(QWidget* form, const QWidget* reference = nullptr);

}  // namespace vantor::gui
