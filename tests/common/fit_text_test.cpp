#include <gtest/gtest.h>

#include "common/fit_text.h"
#include "common/text.h"

namespace vantor {
namespace {

TEST(FitTextToWidth, KeepsTheLongestLeadingPartThatFits) {
    // Ten units a character, whatever its byte length.
    auto measure = [](const std::string& text) {
        return static_cast<int>(CharacterCount(text)) * 10;
    };
    struct Case {
        const char* text;
        int width;
        const char* expected;
    } cases[] = {
        {"Morning Show", 200, "Morning Show"},
        {"Morning Show", 120, "Morning Show"},  // exactly as wide as the room
        {"Morning Show", 119, "Morning Sho"},
        {"Morning Show", 10, "M"},
        {"Morning Show", 9, ""},
        {"", 0, ""},
        {"Caf\xc3\xa9 Royal", 40, "Caf\xc3\xa9"},  // never half a character
        {"\xc3\xa9\xc3\xa9\xc3\xa9", 25, "\xc3\xa9\xc3\xa9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitTextToWidth(c.text, c.width, measure), c.expected) << c.text << " " << c.width;
}

}  // namespace
}  // namespace vantor
