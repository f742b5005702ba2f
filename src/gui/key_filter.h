#pragma once
// Lets a text field take only the characters a model's key filter passes. Every typed
// character goes through the filter (its character code in, the code to type out, 0 to swallow
// it); keys that type no character (arrows, Enter, Escape, Tab), backspace and delete, and
// Ctrl shortcuts keep their usual meaning.

#include <functional>

class QWidget;

namespace vantor::gui {

// Installs a filter that lives as long as the field.
void FilterKeys(QWidget* field, std::function<int(int keyCode)> filter);

}  // namespace vantor::gui
