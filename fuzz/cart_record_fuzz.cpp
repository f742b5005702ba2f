// The cart record decoder on any 300 bytes: both decoded forms, the title text, and the stored
// form written back, which must give the same bytes for the fields it keeps.

#include <cstring>

#include "audiowall/cart_record.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < static_cast<size_t>(kCartRecordSize)) return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    CartRecord direct = CartRecordFromBytes(bytes);
    CartListRecord stored = DecodeCartListRecord(bytes);
    CartRecord viaList = CartRecordFromList(stored);
    CartTitleText(direct, true);
    CartTitleText(viaList, false);
    for (float time : direct.Times)
        if (!(time >= -86400.0f && time <= 86400.0f)) __builtin_trap();
    CartRecordBytes again = EncodeCartListRecord(stored);
    // Titles and every number survive a round trip through the stored form.
    if (std::memcmp(again.data(), bytes, 160) != 0) __builtin_trap();
    CartListRecordFrom(direct);
    return 0;
}
