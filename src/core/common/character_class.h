#pragma once
// The character classes of numeric and name fields, and the key filter that keeps a field to
// its class.

#include <string>

namespace vantor {

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
