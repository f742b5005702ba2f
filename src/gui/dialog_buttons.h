#pragma once
// OK and Cancel as the program's dialogs have them: at the right end of a row below the
// contents, OK the default button that Enter presses, Cancel the one Esc presses. A button with
// the focus takes Enter for itself, as on any desktop. Each window gives the two its own object
// names.

class QBoxLayout;
class QPushButton;
class QWidget;

namespace vantor::gui {

struct OkCancelButtons {
    QPushButton* ok;
    QPushButton* cancel;
};

// Adds the row to the end of the layout; the buttons belong to the dialog.
OkCancelButtons AddOkCancelRow(QBoxLayout* layout, QWidget* dialog, const char* okName,
                               const char* cancelName);

}  // namespace vantor::gui
