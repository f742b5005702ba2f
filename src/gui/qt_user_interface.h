#pragma once
// The Qt implementation of the seam: message boxes, pickers, progress windows and the viewer.

#include "common/user_interface.h"

namespace vantor::gui {

class QtUserInterface;  // defined with the windows

}  // namespace vantor::gui
