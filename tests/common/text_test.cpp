#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"

namespace vantor {
namespace {

TEST(NextField, WalksALine) {
    long at = -1;
    EXPECT_EQ(NextField("  A,B", 1, ",", at, true, true), "A");
    EXPECT_EQ(at, 4);
    EXPECT_EQ(NextField("  A,B", at + 1, ",", at, true, true), "B");
    EXPECT_EQ(at, 0);

    // Every field of a line, as callers walk it.
    const std::string line = "one, two ,,three";
    std::vector<std::string> fields;
    long start = 0;  // below 1 counts as 1
    do {
        fields.push_back(NextField(line, start, ",", at, true, false));
        start = at + 1;
    } while (at != 0);
    EXPECT_EQ(fields, (std::vector<std::string>{"one", "two", "", "three"}));

    EXPECT_EQ(NextField(" a ; b", 1, ";", at, false, false), " a ");
    EXPECT_EQ(NextField("x   ", 2, ",", at, true, true), "");
    EXPECT_EQ(at, 0);
    EXPECT_EQ(NextField("a,b", 1, "", at, false, false), "a,b");  // no delimiter: no hit
    EXPECT_EQ(at, 0);
    EXPECT_EQ(NextField("a::b::c", 4, "::", at, false, false), "b");
    EXPECT_EQ(at, 5);
}

TEST(Text, CaseInsensitiveHelpers) {
    EXPECT_TRUE(EqualsNoCase("Carts3.lst", "CARTS3.LST"));
    EXPECT_EQ(ToUpper("caf\u00E9"), "CAF\u00C9");
    EXPECT_EQ(MidOf("abcdef", 3, 2), "cd");
    EXPECT_EQ(MidOf("abc", 9), "");
    EXPECT_EQ(Trim("  a b  "), "a b");
}

}  // namespace
}  // namespace vantor
