#include <gtest/gtest.h>

#include "common/character_class.h"
#include "common/numbers.h"

namespace vantor {
namespace {

TEST(KeyFilter, PassesOnlyTheClassAndTheEditingKeys) {
    struct Case {
        int key, characterClass, result;
    } cases[] = {
        {'A', 1, 0}, {'5', 1, '5'}, {8, 1, 8},     {46, 1, 46},     {13, 3, 13},
        {'5', 3, 0}, {'z', 3, 'z'}, {' ', 4, ' '}, {' ', 2, 0},     {' ', 5, ' '},
        {'x', 5, 0}, {'#', 0, '#'}, {0xE9, 3, 0},  {0xE9, 9, 0xE9},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyFilter(c.key, c.characterClass), c.result) << c.key << "/" << c.characterClass;
    EXPECT_TRUE(CharacterClassCheck("AB12", kClassDigitsLetters));
    EXPECT_FALSE(CharacterClassCheck("AB 12", kClassDigitsLetters));
    EXPECT_FALSE(CharacterClassCheck("Caf\u00E9", kClassLetters));
    EXPECT_TRUE(CharacterClassCheck("", kClassDigits));
    EXPECT_EQ(Clamp(50, 0, 10), 10);
    EXPECT_EQ(Clamp(-5, 0, 10), 0);
    EXPECT_EQ(MinOf(3, -4), -4);
    EXPECT_EQ(MaxOf(3, -4), 3);
    EXPECT_TRUE(PointNear(10, 14, 12, 12, 2));
    EXPECT_FALSE(PointNear(10, 15, 12, 12, 2));
}

}  // namespace
}  // namespace vantor
