#include <gtest/gtest.h>

#include "common/numbers.h"

namespace vantor {
namespace {

TEST(Numbers, LeadingNumberAndRounding) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {{"  12abc", 12}, {"-3.5x", -3.5}, {"abc", 0}, {"", 0}, {".5", 0.5}, {"+7", 7}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_FALSE(ToInt16(32767.6).has_value());
    EXPECT_EQ(*ToInt16(-32768.4), -32768);
    EXPECT_FALSE(IsNumericText("12abc"));
    EXPECT_TRUE(IsNumericText(" 1.5e3 "));
    EXPECT_EQ(NumberText(25), "25");
    EXPECT_EQ(NumberText(0.5), "0.5");
}

}  // namespace
}  // namespace vantor
