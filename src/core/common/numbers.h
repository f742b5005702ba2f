#pragma once
// Numbers read from text and rounded the way the installation's other programs do it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// The leading number of a text: leading blanks skipped, an optional sign, digits, an
// optional "." and digits. 0 when the text does not start with a number ("12abc" is 12).
double LeadingNumber(std::string_view text);

// True when the whole text (blanks around it allowed) is a number: optional sign, digits with
// an optional fraction, optional exponent. "" and "abc" and "12abc" are not numbers.
bool IsNumericText(std::string_view text);
// The value of a numeric text, or nullopt when IsNumericText is false.
std::optional<double> ParseNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);
// Rounds to a 16-bit or 32-bit whole number; nullopt when the result does not fit (overflow).
std::optional<int16_t> ToInt16(double value);
std::optional<int32_t> ToInt32(double value);

// The whole part of a value (toward zero), held within the range of the type; 0 for NaN. A
// plain conversion of a value beyond the type's range is undefined, and values from files,
// databases and typed fields can be anything: every such conversion goes through these.
int64_t SaturatedInt64(double value);
int32_t SaturatedInt32(double value);

// Whole number with the runtime's number-to-text rules (no decimals, "-" for negatives).
std::string IntText(long long value);
// A double written as the runtime writes it: up to 15 significant digits, no trailing zeros,
// no exponent for ordinary magnitudes ("25", "0.5", "3599.99").
std::string NumberText(double value);
// A single written as the runtime writes it: its own 7 significant digits ("4.1", not the
// double it widens to), as NumberText where that would need an exponent.
std::string SingleText(float value);

int32_t MinOf(int32_t a, int32_t b);
int32_t MaxOf(int32_t a, int32_t b);
int32_t Clamp(int32_t value, int32_t low, int32_t high);  // MinOf(MaxOf(value, low), high)

// True when x and y each lie within tolerance of the centre (inclusive).
bool PointNear(long x, long y, long centreX, long centreY, long tolerance);

}  // namespace vantor
