// Decimal to float, exactly as strtof rounds. A number with at most 19
// significant digits and a power of ten up to 22 is one correctly rounded
// double operation (both operands are exact doubles); that double rounds to the
// right float unless it lies exactly halfway between two floats, where the
// double rounding could go the wrong way. Those, and everything unusual, go to
// strtof.
#include "glm/float_text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int MAX_EXACT_POWER = 22;
constexpr int MAX_DIGITS = 19;                         // fit an unsigned 64-bit significand
constexpr std::uint64_t MAX_EXACT_SIGNIFICAND = 1ull << 53;
constexpr int MAX_EXPONENT_DIGITS_VALUE = 100000;      // beyond this strtof decides (inf or 0)

// A double's exponent field for 2^-126 (the smallest normal float) and 2^128.
constexpr unsigned SMALLEST_NORMAL_FLOAT_FIELD = 1023 - 126;
constexpr unsigned FLOAT_OVERFLOW_FIELD = 1023 + 128;
// The 29 low significand bits a double has beyond a float's: 1 followed by
// zeros there is exactly halfway between two neighbouring normal floats.
constexpr std::uint64_t BELOW_FLOAT_BITS = (1ull << 29) - 1;
constexpr std::uint64_t FLOAT_HALFWAY = 1ull << 28;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

float viaStrtof(const char* text, std::size_t length, std::size_t* used) {
  char local[64];
  std::string heap;
  char* copy = local;
  if (length >= sizeof local) {
    heap.assign(text, length);
    copy = &heap[0];
  } else {
    std::memcpy(local, text, length);
    local[length] = '\0';
  }
  char* stop = nullptr;
  float value = std::strtof(copy, &stop);
  *used = static_cast<std::size_t>(stop - copy);
  return value;
}

}  // namespace

float glmTextToFloat(const char* text, std::size_t length, std::size_t* used) {
  const char* p = text;
  const char* const end = text + length;
  bool negative = false;
  if (p != end && (*p == '-' || *p == '+')) {
    negative = *p == '-';
    ++p;
  }
  // Hex floats, "inf" and "nan" are rare: strtof reads them.
  if (p == end || (!isDigit(*p) && *p != '.')) return viaStrtof(text, length, used);
  if (*p == '0' && p + 1 != end && (p[1] == 'x' || p[1] == 'X')) return viaStrtof(text, length, used);

  std::uint64_t significand = 0;
  int digits = 0;  // significant digits taken into the significand
  int scale = 0;   // power of ten the significand is to be multiplied with
  bool anyDigit = false;
  for (; p != end && isDigit(*p); ++p) {
    anyDigit = true;
    if (significand == 0 && *p == '0') continue;
    if (digits == MAX_DIGITS) return viaStrtof(text, length, used);
    significand = significand * 10 + static_cast<unsigned>(*p - '0');
    ++digits;
  }
  if (p != end && *p == '.') {
    for (++p; p != end && isDigit(*p); ++p) {
      anyDigit = true;
      --scale;
      if (significand == 0 && *p == '0') continue;
      if (digits == MAX_DIGITS) return viaStrtof(text, length, used);
      significand = significand * 10 + static_cast<unsigned>(*p - '0');
      ++digits;
    }
  }
  if (!anyDigit) return viaStrtof(text, length, used);

  // An exponent counts only with at least one digit ("1e", "1e+" end before the 'e').
  const char* stop = p;
  if (p != end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (q != end && (*q == '-' || *q == '+')) {
      negativeExponent = *q == '-';
      ++q;
    }
    if (q != end && isDigit(*q)) {
      int exponent = 0;
      for (; q != end && isDigit(*q); ++q) {
        if (exponent > MAX_EXPONENT_DIGITS_VALUE) return viaStrtof(text, length, used);
        exponent = exponent * 10 + (*q - '0');
      }
      scale += negativeExponent ? -exponent : exponent;
      stop = q;
    }
  }
  *used = static_cast<std::size_t>(stop - text);

  float value = 0;
  if (glmExactFloat(significand, scale, negative, &value)) return value;
  return viaStrtof(text, length, used);
}

bool glmExactFloat(std::uint64_t significand, int scale, bool negative, float* value) {
  if (significand == 0) {
    *value = negative ? -0.0f : 0.0f;
    return true;
  }
  if (significand > MAX_EXACT_SIGNIFICAND || scale > MAX_EXACT_POWER || scale < -MAX_EXACT_POWER) return false;
  const double exact = static_cast<double>(significand);
  const double rounded = scale >= 0 ? exact * POWERS_OF_TEN[scale] : exact / POWERS_OF_TEN[-scale];
  std::uint64_t bits;
  std::memcpy(&bits, &rounded, sizeof bits);
  const unsigned field = static_cast<unsigned>(bits >> 52) & 0x7FF;
  if (field < SMALLEST_NORMAL_FLOAT_FIELD || field >= FLOAT_OVERFLOW_FIELD ||
      (bits & BELOW_FLOAT_BITS) == FLOAT_HALFWAY) {
    return false;
  }
  const float single = static_cast<float>(rounded);
  *value = negative ? -single : single;
  return true;
}
