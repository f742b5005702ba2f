#include "audiowall/cart_numbers.h"

#include <cmath>

#include "audiowall/cart_record.h"
#include "common/numbers.h"

namespace vantor {

int16_t PartOfCart(int32_t cartNumber) {
    if (cartNumber < 0 || cartNumber > 10 * kCartsPerPart) return kAudiowallPartCount;
    // Rounded down, not toward zero: cart 0 falls into "part 0", which no list serves.
    return static_cast<int16_t>(std::floor((static_cast<double>(cartNumber) - 1) / kCartsPerPart) +
                                1);
}

int32_t RecordOfCart(int32_t cartNumber) {
    return cartNumber - (PartOfCart(cartNumber) - 1) * kCartsPerPart;
}

int LastPartInUse(int32_t maxCart) {
    // The store's own rule for a count below 1: it is a cart number below 1, which belongs to
    // part 11, so every part is in use (part 11 expecting no record).
    if (maxCart < 1) return kAudiowallPartCount;
    return PartOfCart(maxCart);
}

int32_t ExpectedRecordCount(int part, int32_t maxCart) {
    if (part == LastPartInUse(maxCart)) return maxCart - (part - 1) * kCartsPerPart;
    return kCartsPerPart;
}

int64_t FirstPaddingRecord(int64_t listLength) {
    return static_cast<int64_t>(
        RoundHalfEven(static_cast<double>(listLength) / kCartRecordSize + 1));
}

}  // namespace vantor
