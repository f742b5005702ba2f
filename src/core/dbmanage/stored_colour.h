#pragma once
// Colours as the playout system stores them in its settings: a 32-bit value with red in the low
// byte, then green, then blue; a value with the top bit set names one of the desktop's own
// colours by its index in the low byte, so that it follows the desktop's theme. Windows show
// the Colour form; only the settings see the stored form.

#include <cstdint>

namespace vantor {

// The desktop colours the playout system's defaults use; Other for any other desktop colour.
enum class DesktopColour {
    None,
    Highlight,
    HighlightText,
    ButtonFace,
    ButtonText,
    Window,
    WindowText,
    Other
};

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    // Not None: the desktop's colour of that role; red, green and blue then hold its usual
    // value, for drawing where the desktop has no such colour.
    DesktopColour desktop = DesktopColour::None;

    friend bool operator==(const Colour&, const Colour&) = default;
};

Colour ColourFromStored(int32_t stored);
// The stored value of a fixed colour (the desktop role is not kept: a colour chosen by the
// operator is always a fixed one).
int32_t StoredFromRgb(uint8_t red, uint8_t green, uint8_t blue);

}  // namespace vantor
