#pragma once
// "*" shown for every character of a password, as the login and change-password windows show
// their password boxes.

class QLineEdit;

namespace vantor::gui {

// The box masks its text with one "*" per character.
void MaskWithAsterisks(QLineEdit* box);

}  // namespace vantor::gui
