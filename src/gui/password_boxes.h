#pragma once
// What the login and change-password windows do to their text boxes: a key filter that
// changes or swallows typed characters, and "*" shown for every character of a password.

#include <functional>

class QLineEdit;

namespace vantor::gui {

// Every typed character goes through filter (its character code in, the code to type out, 0
// to swallow it); keys without a character (arrows, Enter, Esc, Tab) and backspace pass.
void FilterTypedKeys(QLineEdit* box, std::function<int(int)> filter);

// The box masks its text with one "*" per character.
void MaskWithAsterisks(QLineEdit* box);

// The box selects its whole text whenever it gets the focus.
void SelectAllOnFocus(QLineEdit* box);

}  // namespace vantor::gui
