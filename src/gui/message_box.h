#pragma once
// The seam's message box on the desktop: the icon, buttons and default button asked for.
// Enter presses the default button; Escape presses Cancel where the box has one (or the OK
// of a box with OK alone) and does nothing otherwise, as the station's message boxes do.

#include "common/user_interface.h"

class QWidget;

namespace vantor::gui {

MessageResult ShowMessageBox(QWidget* owner, const MessageRequest& request);

}  // namespace vantor::gui
