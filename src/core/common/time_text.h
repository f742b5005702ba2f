#pragma once
// Times of day and durations written as text. A style's units digit chooses the layout, its
// tens digit the rounding and its hundreds digit what happens to leading zeros:
//
//   layout 0 "mm:ss.hh"   1 "hh:mm:ss.hh"   2 "hh:mm:ss"   3 "mm:ss"   4 "hh:mm"
//   tens   0 round to the nearest second   1 cut the fraction   2 round any fraction up
//          (layouts without hundredths only)
//   < 100  every group two digits ("00:02:05")
//   100    every group blank ("  :  :  ")
//   > 100  leading groups without leading zeros, blank when 0, padded to two characters
//   >= 200 as above, and a blank hours or seconds group is left out with its colon
//          (125 s in style 202 is " 2:05", 45 s is "  :45")

#include <string>

namespace vantor {

// Reads the two-character groups at the layout's fixed positions of the trimmed text, each
// as its leading number (0 when it has none). 0 for an unknown layout.
double ParseTimeText(const std::string& text, int style);
// Writes seconds in the style; a value below 0 or above 86400 gives "--" in every group.
// "" for an unknown layout.
std::string FormatTimeText(double seconds, int style);

}  // namespace vantor
