// glibc's scanf conversions replayed on memory. The general paths follow the
// library's own steps: characters are taken one at a time, a character that
// ends a conversion is put back (only that one: scanf can push back a single
// character, so "1e+x" or "-x" keep the characters before it consumed), and a
// conversion fails as a matching failure (scanf returns what it assigned so
// far) or an input failure (the end of the input: -1 when nothing was
// assigned). Plain numbers, nearly all of a model, take shorter paths that
// consume and store exactly what the general ones would.
#include "glm/text_scan.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "glm/float_text.h"

namespace {

enum class Conversion { DONE, MATCH_FAILURE, INPUT_FAILURE };

// isspace() in the "C" locale: no byte above 127 is a blank there.
struct Blanks {
  bool is[256] = {};
  constexpr Blanks() {
    for (int c = '\t'; c <= '\r'; ++c) is[c] = true;
    is[static_cast<unsigned char>(' ')] = true;
  }
};
constexpr Blanks BLANKS;

inline bool isDigit(int c) { return static_cast<unsigned>(c - '0') < 10u; }
inline bool isSpaceByte(char c) { return BLANKS.is[static_cast<unsigned char>(c)]; }
inline bool isDigitByte(char c) { return static_cast<unsigned char>(c - '0') < 10u; }
bool isHexDigit(int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int toLower(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

constexpr std::uint64_t POWERS_OF_TEN[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000};

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the digit words below are read little-endian");

// Eight digit characters at a time: the common runs are read without a branch
// per character. Bytes that are digits become 0..9 by the xor; any other byte
// has a bit in its high nibble in x or in x + 6 (a carry out of a non-digit
// byte only reaches bytes after it, so the first non-digit is found right).
inline std::uint64_t loadWord(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The value of the n (1 to 8) digits in the low bytes of x, first digit lowest.
inline std::uint64_t digitsValue(std::uint64_t x, int n) {
  std::uint64_t v = x << (8 * (8 - n));  // as leading zeros before the digits
  v = v * 10 + (v >> 8);
  v = (((v & 0x000000FF000000FFull) * 0x000F424000000064ull) +
       (((v >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >> 32;
  return v & 0xFFFFFFFFull;
}

// Adds the run of digits at p to *value (value x 10^n + the digits) and
// returns the end of the run. Beyond 19 digits the value wraps; callers count.
inline const char* takeDigits(const char* p, const char* end, std::uint64_t* value) {
  while (end - p >= 8) {
    const std::uint64_t x = loadWord(p) ^ 0x3030303030303030ull;
    const std::uint64_t other = (x | (x + 0x0606060606060606ull)) & 0xF0F0F0F0F0F0F0F0ull;
    if (other == 0) {
      *value = *value * POWERS_OF_TEN[8] + digitsValue(x, 8);
      p += 8;
      continue;
    }
    const int n = __builtin_ctzll(other) >> 3;
    if (n != 0) *value = *value * POWERS_OF_TEN[n] + digitsValue(x, n);
    return p + n;
  }
  while (isDigitByte(*p)) *value = *value * 10 + static_cast<unsigned>(*p++ - '0');
  return p;
}

// The stream as scanf sees it: one character at a time, one put back.
struct Input {
  ScanCursor& cursor;

  int get() { return cursor.pos == cursor.end ? EOF : static_cast<unsigned char>(*cursor.pos++); }
  void unget(int c) {
    if (c != EOF) --cursor.pos;
  }
};

// Takes the characters of `rest` (lower case) in any case; a character that
// differs is consumed, as scanf consumes it, and fails the read.
bool takeWordRest(Input& in, const char* rest) {
  for (; *rest != '\0'; ++rest) {
    int c = in.get();
    if (c == EOF || toLower(c) != *rest) return false;
  }
  return true;
}

// "%f" the general way, from the first character after the blanks.
Conversion scanFloatGeneral(ScanCursor& cursor, float* value) {
  Input in{cursor};
  const char* start = cursor.pos;
  int c = in.get();
  if (c == EOF) return Conversion::INPUT_FAILURE;

  bool gotSign = false;
  if (c == '-' || c == '+') {
    gotSign = true;
    c = in.get();
    // The end of the input after a sign is a matching failure, not an input failure.
    if (c == EOF) return Conversion::MATCH_FAILURE;
  }

  if (toLower(c) == 'n') {
    if (!takeWordRest(in, "an")) return Conversion::MATCH_FAILURE;
  } else if (toLower(c) == 'i') {
    if (!takeWordRest(in, "nf")) return Conversion::MATCH_FAILURE;
    c = in.get();
    if (c != EOF) {
      if (toLower(c) == 'i') {
        // Once "infi" is read, only the whole "infinity" will do.
        if (!takeWordRest(in, "nity")) return Conversion::MATCH_FAILURE;
      } else {
        in.unget(c);
      }
    }
  } else {
    bool hex = false, gotDigit = false, gotDot = false, gotExponent = false;
    int exponentChar = 'e';
    int last = 0;  // the last character taken into the number
    if (c == '0') {
      last = c;
      c = in.get();
      if (toLower(c) == 'x') {
        hex = true;
        exponentChar = 'p';
        last = c;
        c = in.get();
      } else {
        gotDigit = true;
      }
    }
    for (;;) {
      if (isDigit(c) || (!gotExponent && hex && isHexDigit(c))) {
        gotDigit = true;
        last = c;
      } else if (gotExponent && last == exponentChar && (c == '-' || c == '+')) {
        last = c;
      } else if (gotDigit && !gotExponent && toLower(c) == exponentChar) {
        gotExponent = gotDot = true;
        last = exponentChar;
      } else if (!gotDot && c == '.') {
        gotDot = true;
        last = c;
      } else {
        in.unget(c);
        break;
      }
      c = in.get();
      if (c == EOF) break;
    }
    const std::size_t taken = static_cast<std::size_t>(cursor.pos - start);
    // Nothing but a sign, or nothing but "0x", is no number.
    if (taken == static_cast<std::size_t>(gotSign) || (hex && taken == 2u + gotSign)) {
      return Conversion::MATCH_FAILURE;
    }
  }

  // What scanf took is handed to strtof whole; it may use less (the 'e' of "1e").
  std::size_t used = 0;
  float converted = glmTextToFloat(start, static_cast<std::size_t>(cursor.pos - start), &used);
  if (used == 0) return Conversion::MATCH_FAILURE;
  *value = converted;
  return Conversion::DONE;
}

// "%f". The short path takes [sign] digits [. digits] [e [sign] digits]: there
// the general path would take the same characters (an 'e' and a sign are kept
// even without exponent digits) and stop at the same one.
__attribute__((always_inline)) inline Conversion scanFloat(ScanCursor& cursor, float* value) {
  const char* p = cursor.pos;
  while (isSpaceByte(*p)) ++p;
  cursor.pos = p;
  if (p == cursor.end) return Conversion::INPUT_FAILURE;
  const char* const start = p;
  const bool negative = *p == '-';
  if (negative || *p == '+') ++p;
  // Hex floats, "inf", "nan", a lone sign or point: the general path.
  if (*p == '0' && (p[1] | 0x20) == 'x') return scanFloatGeneral(cursor, value);

  const char* const integerStart = p;
  std::uint64_t significand = 0;  // meaningless beyond 19 digits, which go to strtof
  p = takeDigits(p, cursor.end, &significand);
  int digits = static_cast<int>(p - integerStart);
  int fractionDigits = 0;
  if (*p == '.') {
    const char* const fractionStart = ++p;
    p = takeDigits(p, cursor.end, &significand);
    fractionDigits = static_cast<int>(p - fractionStart);
    digits += fractionDigits;
  }
  if (digits == 0) return scanFloatGeneral(cursor, value);

  bool exact = digits <= 19;
  int scale = 0;
  if ((*p | 0x20) == 'e') {
    ++p;
    const bool negativeExponent = *p == '-';
    if (negativeExponent || *p == '+') ++p;
    int exponent = 0;
    for (; isDigitByte(*p); ++p) {
      if (exponent <= 100000) {
        exponent = exponent * 10 + (*p - '0');
      } else {
        exact = false;  // far beyond any float: strtof decides between 0 and inf
      }
    }
    scale = negativeExponent ? -exponent : exponent;
  }
  scale -= fractionDigits;
  cursor.pos = p;
  if (exact && glmExactFloat(significand, scale, negative, value)) return Conversion::DONE;
  std::size_t used = 0;
  *value = glmTextToFloat(start, static_cast<std::size_t>(p - start), &used);
  return Conversion::DONE;
}

// "%ld": saturates at LONG_MIN / LONG_MAX as strtol does.
__attribute__((always_inline)) inline Conversion scanLong(ScanCursor& cursor, long* value) {
  const char* p = cursor.pos;
  while (isSpaceByte(*p)) ++p;
  cursor.pos = p;
  if (p == cursor.end) return Conversion::INPUT_FAILURE;
  const bool negative = *p == '-';
  if (negative || *p == '+') ++p;
  const char* const digits = p;
  std::uint64_t magnitude = 0;
  p = takeDigits(p, cursor.end, &magnitude);
  // No digit: the sign stays consumed, the character after it is put back.
  cursor.pos = p;
  if (p == digits) return Conversion::MATCH_FAILURE;

  bool overflow = false;
  if (p - digits > 18) {
    // Long enough to overflow: again, digit by digit.
    magnitude = 0;
    for (const char* q = digits; q != p && !overflow; ++q) {
      const unsigned digit = static_cast<unsigned>(*q - '0');
      if (magnitude > (UINT64_MAX - digit) / 10) {
        overflow = true;
      } else {
        magnitude = magnitude * 10 + digit;
      }
    }
  }
  constexpr std::uint64_t LONG_MAX_MAGNITUDE = static_cast<std::uint64_t>(LONG_MAX);
  if (negative) {
    *value = overflow || magnitude > LONG_MAX_MAGNITUDE + 1 ? LONG_MIN : static_cast<long>(0 - magnitude);
  } else {
    *value = overflow || magnitude > LONG_MAX_MAGNITUDE ? LONG_MAX : static_cast<long>(magnitude);
  }
  return Conversion::DONE;
}

// A literal character of the format.
inline Conversion matchChar(ScanCursor& cursor, char want) {
  if (cursor.pos == cursor.end) return Conversion::INPUT_FAILURE;
  if (*cursor.pos != want) return Conversion::MATCH_FAILURE;
  ++cursor.pos;
  return Conversion::DONE;
}

// scanf's count: the conversions done, or -1 for an input failure before any.
inline int finish(Conversion failure, int done) {
  return failure == Conversion::INPUT_FAILURE && done == 0 ? EOF : done;
}

}  // namespace

int glmScanToken(ScanCursor& cursor, char* token, int width) {
  const char* p = cursor.pos;
  while (isSpaceByte(*p)) ++p;
  cursor.pos = p;
  if (p == cursor.end) return EOF;
  const char* const stop = cursor.end - p > width ? p + width : cursor.end;
  while (p != stop && !isSpaceByte(*p)) ++p;
  const std::size_t n = static_cast<std::size_t>(p - cursor.pos);
  std::memcpy(token, cursor.pos, n);
  token[n] = '\0';
  cursor.pos = p;
  return 1;
}

bool glmScanLine(ScanCursor& cursor, char* buffer, int size) {
  if (size <= 0) return false;
  if (size == 1) {
    // Room for the NUL only: glibc reads nothing and succeeds.
    buffer[0] = '\0';
    return true;
  }
  if (cursor.pos == cursor.end) return false;
  std::size_t room = static_cast<std::size_t>(size - 1);
  std::size_t left = static_cast<std::size_t>(cursor.end - cursor.pos);
  std::size_t n = left < room ? left : room;
  const void* newline = std::memchr(cursor.pos, '\n', n);
  if (newline != nullptr) n = static_cast<std::size_t>(static_cast<const char*>(newline) - cursor.pos) + 1;
  std::memcpy(buffer, cursor.pos, n);
  buffer[n] = '\0';
  cursor.pos += n;
  return true;
}

int glmScanFloats(ScanCursor& cursor, float* values, int count) {
  int done = 0;
  for (int i = 0; i < count; ++i) {
    Conversion result = scanFloat(cursor, &values[i]);
    if (result != Conversion::DONE) return finish(result, done);
    ++done;
  }
  return done;
}

int glmScanCorner(ScanCursor& cursor, FaceForm form, long* vertex, long* texture, long* normal) {
  int done = 0;
  Conversion result = scanLong(cursor, vertex);
  if (result != Conversion::DONE) return finish(result, done);
  ++done;
  if (form == FaceForm::VERTEX) return done;

  if ((result = matchChar(cursor, '/')) != Conversion::DONE) return finish(result, done);
  if (form == FaceForm::VERTEX_NORMAL) {
    if ((result = matchChar(cursor, '/')) != Conversion::DONE) return finish(result, done);
    if ((result = scanLong(cursor, normal)) != Conversion::DONE) return finish(result, done);
    return done + 1;
  }
  if ((result = scanLong(cursor, texture)) != Conversion::DONE) return finish(result, done);
  ++done;
  if (form == FaceForm::VERTEX_TEXTURE) return done;
  if ((result = matchChar(cursor, '/')) != Conversion::DONE) return finish(result, done);
  if ((result = scanLong(cursor, normal)) != Conversion::DONE) return finish(result, done);
  return done + 1;
}

FaceForm glmScanFaceForm(const char* token) {
  long vertex, texture, normal;
  return glmScanFirstCorner(token, &vertex, &texture, &normal);
}

FaceForm glmScanFirstCorner(const char* token, long* vertex, long* texture, long* normal) {
  ScanCursor in{token, token + std::strlen(token)};
  if (std::strstr(token, "//") != nullptr) {
    glmScanCorner(in, FaceForm::VERTEX_NORMAL, vertex, texture, normal);
    return FaceForm::VERTEX_NORMAL;
  }
  // "%ld/%ld" and "%ld" are the first steps of "%ld/%ld/%ld": one scan tells
  // which of the three matches, and has stored what that pattern stores.
  const int assigned = glmScanCorner(in, FaceForm::VERTEX_TEXTURE_NORMAL, vertex, texture, normal);
  if (assigned == 3) return FaceForm::VERTEX_TEXTURE_NORMAL;
  if (assigned == 2) return FaceForm::VERTEX_TEXTURE;
  return FaceForm::VERTEX;
}
