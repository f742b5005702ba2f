// Text, number and waiting helpers of general.h.

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "common/clock.h"
#include "common/codepage.h"
#include "common/general.h"
#include "common/locale.h"
#include "common/text.h"
#include "common/user_interface.h"

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

// Bits 0<->4 and 1<->3 exchanged; the exchange is its own inverse.
unsigned char Scramble(unsigned char c) {
    unsigned char kept = c & 0xE4;
    unsigned char out = kept;
    out |= static_cast<unsigned char>((c & 0x01) << 4);
    out |= static_cast<unsigned char>((c & 0x10) >> 4);
    out |= static_cast<unsigned char>((c & 0x02) << 2);
    out |= static_cast<unsigned char>((c & 0x08) >> 2);
    return out;
}

}  // namespace

std::string NextField(const std::string& text, long start, const std::string& delimiter,
                      long& foundAt, bool trim, bool skipBlanks) {
    if (start < 1) start = 1;
    if (skipBlanks) {
        while (start <= static_cast<long>(text.size()) &&
               (text[start - 1] == ' ' || text[start - 1] == '\t'))
            ++start;
    }
    if (start > static_cast<long>(text.size())) {
        foundAt = 0;
        return "";
    }
    // An empty delimiter would be found at the start every time and never move a walk on.
    size_t hit = delimiter.empty() ? std::string::npos
                                   : text.find(delimiter, static_cast<size_t>(start - 1));
    foundAt = hit == std::string::npos ? 0 : static_cast<long>(hit) + 1;
    std::string field = foundAt == 0 ? text.substr(start - 1)
                                     : text.substr(start - 1, static_cast<size_t>(foundAt - start));
    return trim ? Trim(field) : field;
}

std::string MonthName(int month) {
    return MonthNameOf(month);
}

int HourOfWeek(OleDate dateTime) {
    // Weekday and hour from the same rounded time, so 23:59:59.7 on a Sunday does not give
    // Sunday's weekday with Monday's hour.
    DateParts parts = SplitDate(dateTime);
    int weekday = IsoWeekdayOf(DateSerial(parts.year, parts.month, parts.day));
    return (weekday - 1) * 24 + parts.hour;
}

int32_t MinOf(int32_t a, int32_t b) {
    return a < b ? a : b;
}
int32_t MaxOf(int32_t a, int32_t b) {
    return a > b ? a : b;
}
int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return MinOf(MaxOf(value, low), high);
}

bool CharacterClassCheck(const std::string& text, int characterClass) {
    for (unsigned char c : text)
        if (!InClass(c, characterClass)) return false;
    return true;
}

int KeyFilter(int keyCode, int characterClass) {
    switch (keyCode) {
        case 8:
        case 9:
        case 13:
        case 27:
        case 46:
            return keyCode;
        default:
            break;
    }
    if (keyCode < 0 || keyCode > 255)
        return characterClass >= 1 && characterClass <= 5 ? 0 : keyCode;
    return InClass(static_cast<unsigned char>(keyCode), characterClass) ? keyCode : 0;
}

std::string ScrambleText(const std::string& text, bool keepCase) {
    std::string bytes = Utf8ToCp1252(keepCase ? text : ToUpper(text));
    for (char& c : bytes) c = static_cast<char>(Scramble(static_cast<unsigned char>(c)));
    return Cp1252ToUtf8(bytes);
}

bool PointNear(long x, long y, long centreX, long centreY, long tolerance) {
    return std::labs(x - centreX) <= tolerance && std::labs(y - centreY) <= tolerance;
}

bool PauseWithEvents(UserInterface& ui, const Clock& clock, double seconds, const bool* abortFlag) {
    // Measured on the full date and time, so a pause that spans midnight still ends.
    const OleDate start = clock.Now();
    while (true) {
        if (abortFlag && *abortFlag) return true;
        double elapsed = (clock.Now() - start) * 86400.0;
        // A clock set back (end of summer time) ends the pause rather than stretching it.
        if (elapsed >= seconds || elapsed < 0) return false;
        ui.ProcessEvents();
        if (abortFlag && *abortFlag) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool PauseWithEvents(UserInterface& ui, double seconds, const bool* abortFlag) {
    SystemClock clock;
    return PauseWithEvents(ui, clock, seconds, abortFlag);
}

}  // namespace vantor
