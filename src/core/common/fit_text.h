#pragma once
// Cutting a text to the room a control has for it. How wide a text is depends on the window's
// font, so the caller measures; the cut itself is the same everywhere.

#include <functional>
#include <string>

namespace vantor {

// The longest leading part of text (cut between characters, never inside one) whose width,
// as measure tells it, does not exceed width. Empty when not even the first character fits.
std::string FitTextToWidth(const std::string& text, int width,
                           const std::function<int(const std::string&)>& measure);

}  // namespace vantor
