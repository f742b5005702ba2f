#pragma once
// The character classes of numeric and name fields, and the key filter that keeps a field to
// its class.

#include <string>

namespace vantor {

// Key codes as the windows' key-press handlers receive them (a printable key arrives as its
// character's code).
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;

// Character classes of numeric and name fields.
enum CharacterClass {
    kClassDigits = 1,
    kClassDigitsLetters = 2,
    kClassLetters = 3,
    kClassDigitsLettersSpace = 4,
    kClassDigitsSpace = 5,
};
// True when every character of the text belongs to the class (letters are A-Z and a-z only);
// any other class accepts everything.
bool CharacterClassCheck(const std::string& text, int characterClass);
// The key-press filter: backspace, tab, enter, escape and the full stop (46) always pass,
// other keys only when their character is in the class; a refused key comes back as 0.
int KeyFilter(int keyCode, int characterClass);

}  // namespace vantor
