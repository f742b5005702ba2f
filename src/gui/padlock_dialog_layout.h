#pragma once
// The shape the login and change-password windows share: the prompt line on top, the padlock
// beside the entry boxes, OK and Cancel at the bottom right, and a window that keeps the size
// of its contents (it grows and shrinks with what it shows).

#include "dialog_buttons.h"

class QDialog;
class QLayout;
class QString;

namespace vantor::gui {

class PadlockView;

struct PadlockDialogParts {
    PadlockView* padlock;
    OkCancelButtons buttons;
};

// Lays the window out around its boxes; the boxes are made first, so that Tab walks them
// before the buttons.
PadlockDialogParts LayOutPadlockDialog(QDialog* window, const QString& prompt, QLayout* boxes,
                                       const char* okName, const char* cancelName);

}  // namespace vantor::gui
