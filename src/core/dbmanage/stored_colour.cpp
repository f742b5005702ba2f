#include "dbmanage/stored_colour.h"

namespace vantor {

Colour ColourFromStored(int32_t stored) {
    uint32_t bits = static_cast<uint32_t>(stored);
    if ((bits & 0x80000000u) == 0) {
        return {static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>((bits >> 8) & 0xFF),
                static_cast<uint8_t>((bits >> 16) & 0xFF), DesktopColour::None};
    }
    switch (bits & 0xFF) {
        case 5:
            return {255, 255, 255, DesktopColour::Window};
        case 8:
            return {0, 0, 0, DesktopColour::WindowText};
        case 13:
            return {0, 120, 215, DesktopColour::Highlight};
        case 14:
            return {255, 255, 255, DesktopColour::HighlightText};
        case 15:
            return {240, 240, 240, DesktopColour::ButtonFace};
        case 18:
            return {0, 0, 0, DesktopColour::ButtonText};
        default:
            return {192, 192, 192, DesktopColour::Other};
    }
}

int32_t StoredFromRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<int32_t>(static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
                                (static_cast<uint32_t>(blue) << 16));
}

}  // namespace vantor
