// The numeric test and integer conversion the start row of the report
// layout step goes through, as the wizard's scripting runtime performs them.
#pragma once

#include <QString>

#include <optional>

// The number `text` spells, or nothing when it is not numeric. Accepted:
// blanks (spaces, tabs) around the number; a sign; digits with an optional
// decimal point ("12", "12.", ".5", "-3.25"); an exponent introduced by E or
// D ("1E3", "2.5d-1"); and the prefixed forms "&H" (hex, up to 8 digits) and
// "&O" (octal, up to 11 digits), read as 32-bit two's-complement values.
// The decimal point is always '.', whatever the locale.
std::optional<double> runtimeNumber(const QString& text);

// `value` rounded to a 32-bit integer as the runtime's integer conversion
// does it: halves go to the even neighbour (banker's rounding: 12.5 gives
// 12, 13.5 gives 14, -2.5 gives -2), everything else to the nearest integer.
// Nothing when the result does not fit in 32 bits (the runtime's overflow).
std::optional<qint32> runtimeInteger(double value);
