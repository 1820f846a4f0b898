// Decimal text to float with exactly strtof's result, fast for the plain
// numbers models are made of.
#pragma once

#include <cstddef>

// Converts the number text that a "%f" read collected (an optional sign, then
// digits and a decimal point, then an exponent that may be cut short, or a hex
// float, "inf", "infinity" or "nan") as strtof converts it: `*used` receives how
// many characters strtof takes, 0 when it takes none (the value is then 0).
// Short decimal numbers are converted here; anything else goes to strtof.
float glmTextToFloat(const char* text, std::size_t length, std::size_t* used);
