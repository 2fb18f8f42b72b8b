// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The texts that dialog edits exchange with numeric members. Independent of
// the user's locale: the decimal point is always '.'.

// Reads an edit's text as a double: spaces and tabs around one complete
// decimal number ([+-]digits[.digits][e[+-]digits], or starting with '.').
// Refuses anything else, including infinities, NaN and hexadecimal forms. As
// the classic dialog framework does, a number that comes out as zero must be
// written starting with the digit 0 ("0", "0.0"; not "-0" or ".0"). A number
// too large for a double gives +-infinity, which any range check refuses.
std::optional<double> ParseDialogDouble(std::string_view text);

// Reads an edit's text as an int: spaces and tabs around [+-]digits. Refuses
// values outside the int range, and zero written with a sign.
std::optional<int> ParseDialogInt(std::string_view text);

// printf("%.*g", 15, value): 20000.0 gives "20000", 8.0 "8", 0.1 "0.1".
std::string FormatDialogDouble(double value);

// printf("%d", value).
std::string FormatDialogInt(int value);

// Reads the leading number of a text the way the run-time library's atof
// does (blanks, sign, digits, fraction, exponent; the rest ignored): an empty
// or non-numeric text gives 0. For handlers that react while the user types.
double LeadingNumber(std::string_view text);
