#pragma once
// What the login and change-password windows do to their text boxes besides filtering keys:
// "*" shown for every character of a password, and the whole text selected on focus.

class QLineEdit;

namespace vantor::gui {

// The box masks its text with one "*" per character.
void MaskWithAsterisks(QLineEdit* box);

// The box selects its whole text whenever it gets the focus.
void SelectAllOnFocus(QLineEdit* box);

}  // namespace vantor::gui
