#pragma once
#include <QString>
#include <optional>

// Reading and writing the numbers of the settings store and the size box the
// way the user's locale writes them. Nothing here throws or guesses: a text
// that is not a number gives no value.
namespace localenumbers {

// A number in the user's locale (the C locale's form is accepted too).
std::optional<double> readNumber(const QString& text);
// A number rounded to the nearest whole number (ties to even), within 32 bits.
std::optional<qint32> readInt32(const QString& text);
// "True"/"False" in any letter case, or a number: 0 false, anything else true.
std::optional<bool> readBool(const QString& text);

// A single-precision number in the user's locale, no grouping, no exponent for
// ordinary window positions.
QString writeSingle(double value);

} // namespace localenumbers
