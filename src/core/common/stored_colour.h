#pragma once
// Colours as the installation's files store them: a 32-bit value with red in the low byte,
// or, with the top bit set, one of the desktop's own colours (button face, window text, ...)
// named by its index in the low byte. Windows never see the stored number: they get either a
// plain red-green-blue colour or the name of the desktop colour, and decide the look.

#include <cstdint>

namespace vantor {

// The desktop colours, numbered as the stored values number them.
enum class SystemColour : uint8_t {
    ScrollBar = 0,
    Desktop = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkspace = 12,
    Highlight = 13,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    GrayText = 17,
    ButtonText = 18,
    InactiveCaptionText = 19,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBackground = 24,
};

struct DisplayColour {
    bool isSystem = false;
    SystemColour system = SystemColour::ButtonFace;  // when isSystem
    uint8_t red = 0;                                 // otherwise
    uint8_t green = 0;
    uint8_t blue = 0;

    static DisplayColour Rgb(uint8_t r, uint8_t g, uint8_t b) { return {false, {}, r, g, b}; }
    static DisplayColour Of(SystemColour c) { return {true, c, 0, 0, 0}; }
};

bool operator==(const DisplayColour& a, const DisplayColour& b);

// The colour a stored value stands for. A system index the desktop does not know reads as
// the button face, as an unknown colour looks on the stations' desktops.
DisplayColour DisplayColourFromStored(int32_t stored);

// The stored value of a plain colour (a colour the operator chooses is always a plain one).
int32_t StoredFromRgb(uint8_t red, uint8_t green, uint8_t blue);

}  // namespace vantor
