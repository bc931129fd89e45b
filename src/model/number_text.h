#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The program's one way to turn numbers into text and typed text into numbers.
// Nobody formats or parses numbers by hand elsewhere.
namespace qmt::model {

// Plain number text: shortest decimal text with at most 7 (float) or 15
// (double) significant digits, point as separator whatever the locale, no
// leading zero before the point, a leading blank for values >= 0.
// 25 -> " 25", 0.5 -> " .5", -0.25 -> "-.25".
std::string PlainNumberText(float value);
std::string PlainNumberText(double value);
// The same without the leading blank of non-negative values.
std::string PlainNumberTextTrimmed(float value);
std::string PlainNumberTextTrimmed(double value);

// Decimal entry: the number at the start of the text (optional sign, digits,
// decimal point, exponent); blanks and tabs are skipped anywhere; no number
// gives 0. "1 000" -> 1000, "250ms" -> 250, "" -> 0.
double DecimalEntry(std::string_view text);

// A whole field that is one finite decimal number and nothing else, as read
// back from a file: blanks around it, an optional sign, digits with at most
// one point, an optional exponent. " 30.25", "-.75", "+1e2" are numbers;
// "", "25C", "1,5", "inf" and out-of-range values are not.
std::optional<double> StrictDecimal(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// Decimal entry rounded half-to-even into a 32-bit integer; false (and value
// untouched) when the rounded number does not fit.
bool DecimalEntryToInt32(std::string_view text, std::int32_t& value);

// Hexadecimal entry: the text evaluated as "&H" + text. Hex digits of either
// case are taken from the start up to the first other character; none gives 0.
// Eight digits are a 32-bit two's-complement value ("FFFFFFFF" -> -1).
// Returns false when more significant digits follow than fit in 32 bits.
bool HexEntry(std::string_view text, std::int32_t& value);
// Convenience form: 0 when the entry does not fit.
std::int32_t HexEntryOrZero(std::string_view text);

// Upper-case hexadecimal digits without leading zeros; negatives as 32-bit
// two's complement. 254 -> "FE", -1 -> "FFFFFFFF".
std::string HexText(std::int32_t value);
// The value of one hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(char c);
// Plain decimal digits, "-" for negatives, no blank. 65 -> "65".
std::string DecimalText(std::int32_t value);

// A whole number as typed on a command line: 0x4C, 4Ch (or 4CH) or decimal
// 76, with an optional "-" before a decimal. Nothing may follow the number.
std::optional<std::int32_t> ParseNumberArgument(std::string_view text);

} // namespace qmt::model
