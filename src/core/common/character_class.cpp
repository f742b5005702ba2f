#include "common/character_class.h"

namespace vantor {

namespace {

bool IsAsciiDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool InClass(unsigned char c, int characterClass) {
    switch (characterClass) {
        case kClassDigits:
            return IsAsciiDigit(c);
        case kClassDigitsLetters:
            return IsAsciiDigit(c) || IsAsciiLetter(c);
        case kClassLetters:
            return IsAsciiLetter(c);
        case kClassDigitsLettersSpace:
            return IsAsciiDigit(c) || IsAsciiLetter(c) || c == ' ';
        case kClassDigitsSpace:
            return IsAsciiDigit(c) || c == ' ';
        default:
            return true;
    }
}

}  // namespace

bool CharacterClassCheck(const std::string& text, int characterClass) {
    for (unsigned char c : text)
        if (!InClass(c, characterClass)) return false;
    return true;
}

int KeyFilter(int keyCode, int characterClass) {
    switch (keyCode) {
        case kKeyBackspace:
        case kKeyTab:
        case kKeyEnter:
        case kKeyEscape:
        case '.':
            return keyCode;
        default:
            break;
    }
    if (keyCode < 0 || keyCode > 255)
        return characterClass >= 1 && characterClass <= 5 ? 0 : keyCode;
    return InClass(static_cast<unsigned char>(keyCode), characterClass) ? keyCode : 0;
}

}  // namespace vantor
