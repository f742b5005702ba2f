#include <gtest/gtest.h>

#include "common/codepage.h"

namespace vantor {
namespace {

TEST(Codepage, Windows1252RoundTrip) {
    std::string bytes;
    for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
    std::string utf8 = Cp1252ToUtf8(bytes);
    EXPECT_EQ(Utf8ToCp1252(utf8), bytes);
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\u00E9");
    // Plain runs between converted bytes, a zero byte kept, the text ending on either kind.
    EXPECT_EQ(Cp1252ToUtf8(std::string("ab\x80"
                                       "cd\xE9\0e\x9F",
                                       9)),
              std::string("ab\u20AC"
                          "cd\u00E9\0e\u0178",
                          13));
    EXPECT_EQ(Utf8ToCp1252("\u20AC \u00FC \u4E2D"), "\x80 \xFC ?");
}

}  // namespace
}  // namespace vantor
