#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/scramble.h"
#include "common/text.h"

namespace vantor {
namespace {

TEST(ScrambleText, ExchangesBitsAndUndoesItself) {
    EXPECT_EQ(ScrambleText("a"), "P");  // 0x41 -> 0x50
    EXPECT_EQ(ScrambleText("0", true), "!");
    const std::string password = "Caf\u00E9 \u20AC 2024!";
    std::string once = ScrambleText(password);
    EXPECT_NE(once, ToUpper(password));
    EXPECT_EQ(ScrambleText(once, true), "CAF\u00C9 \u20AC 2024!");
    // Every byte survives the round trip, control characters included.
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(ScrambleText(ScrambleText(utf8, true), true), utf8);
}

}  // namespace
}  // namespace vantor
