#include "common/stored_colour.h"

namespace vantor {

bool operator==(const DisplayColour& a, const DisplayColour& b) {
    if (a.isSystem != b.isSystem) return false;
    if (a.isSystem) return a.system == b.system;
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

DisplayColour DisplayColourFromStored(int32_t stored) {
    uint32_t value = static_cast<uint32_t>(stored);
    if (value & 0x80000000u) {
        uint32_t index = value & 0xFFu;
        if (index > static_cast<uint32_t>(SystemColour::InfoBackground))
            return DisplayColour::Of(SystemColour::ButtonFace);
        return DisplayColour::Of(static_cast<SystemColour>(index));
    }
    return DisplayColour::Rgb(static_cast<uint8_t>(value & 0xFFu),
                              static_cast<uint8_t>((value >> 8) & 0xFFu),
                              static_cast<uint8_t>((value >> 16) & 0xFFu));
}

int32_t StoredFromRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<int32_t>(static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
                                (static_cast<uint32_t>(blue) << 16));
}

}  // namespace vantor
