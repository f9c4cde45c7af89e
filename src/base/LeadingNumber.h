#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

namespace tavlo {

// The leading number of a text: blanks, tabs and line feeds are skipped wherever they stand;
// then an optional sign, digits with at most one decimal point and an optional exponent
// (E or D); or &H / &O for a hexadecimal / octal whole number. Reading stops at the first
// character that cannot continue the number; a text without digits gives 0.
double leadingNumber(QStringView text);

// The whole text (blanks around it allowed) is one number by the same grammar; used where a
// text must be numeric as a whole, not just start with a number.
std::optional<double> wholeNumber(QStringView text);

// Nearest integer, halves going to the even neighbour.
double roundHalfEven(double value);

// Rounds half to even into a signed 16-bit value; nothing when it does not fit.
std::optional<std::int16_t> toInt16(double value);

} // namespace tavlo
