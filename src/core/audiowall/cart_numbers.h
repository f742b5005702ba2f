#pragma once
// Where a cart lives: the Audiowall is cut into parts of 1000 carts, each part one directory
// with one cart list; part 11 takes every cart above 10000.

#include <cstdint>

namespace vantor {

constexpr int kAudiowallPartCount = 11;
constexpr int32_t kCartsPerPart = 1000;
constexpr int32_t kDefaultMaxCart = 9999;

// 11 for a number below 0 or above 10000, otherwise (cartNumber - 1) \ 1000 + 1 rounded
// down, which makes cart 0 part 0 (no part).
int16_t PartOfCart(int32_t cartNumber);
// The cart's record number (from 1) within its part's list.
int32_t RecordOfCart(int32_t cartNumber);
// The last part that holds carts on an Audiowall of maxCart carts; 11 (every part) for a
// count below 1, as the store's other programs take it.
int LastPartInUse(int32_t maxCart);
// Records a part's list must hold: 1000, or what is left for the last part in use.
int32_t ExpectedRecordCount(int part, int32_t maxCart);
// The first record written when a list of listLength bytes is brought up to length: the
// record after the last whole one, rounded half to even, so that a list ending in half a
// record or less has that part overwritten and one ending in more than half keeps it.
int64_t FirstPaddingRecord(int64_t listLength);

}  // namespace vantor
