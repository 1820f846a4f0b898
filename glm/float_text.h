// Decimal text to float with exactly strtof's result, fast for the plain
// numbers models are made of.
#pragma once

#include <cstddef>
#include <cstdint>

// Converts the number text that a "%f" read collected (an optional sign, then
// digits and a decimal point, then an exponent that may be cut short, or a hex
// float, "inf", "infinity" or "nan") as strtof converts it: `*used` receives how
// many characters strtof takes, 0 when it takes none (the value is then 0).
// Short decimal numbers are converted here; anything else goes to strtof.
float glmTextToFloat(const char* text, std::size_t length, std::size_t* used);

// The float nearest to significand x 10^scale (negated when `negative`), when
// that can be decided without strtof: true with *value set, or false.
bool glmExactFloat(std::uint64_t significand, int scale, bool negative, float* value);
