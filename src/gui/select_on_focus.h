#pragma once
// A text field that selects its whole text whenever it gets the focus, so that what is typed
// next replaces it.

class QLineEdit;

namespace vantor::gui {

void SelectAllOnFocus(QLineEdit* field);

}  // namespace vantor::gui
