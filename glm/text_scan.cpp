// glibc's scanf conversions replayed on memory. Each read follows the library's
// own steps: characters are taken one at a time, a character that ends a
// conversion is put back (only that one: scanf can push back a single
// character, so "1e+x" or "-x" keep the characters before it consumed), and a
// conversion fails as a matching failure (scanf returns what it assigned so
// far) or an input failure (the end of the input: -1 when nothing was assigned).
#include "glm/text_scan.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "glm/float_text.h"

namespace {

enum class Conversion { DONE, MATCH_FAILURE, INPUT_FAILURE };

// isspace() in the "C" locale.
bool isSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isHexDigit(int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int toLower(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// The stream as scanf sees it: one character at a time, one put back.
struct Input {
  ScanCursor& cursor;

  int get() { return cursor.pos == cursor.end ? EOF : static_cast<unsigned char>(*cursor.pos++); }
  void unget(int c) {
    if (c != EOF) --cursor.pos;
  }
  // What every conversion but %c, %[ and %n does first.
  void skipSpace() {
    while (cursor.pos != cursor.end && isSpace(static_cast<unsigned char>(*cursor.pos))) ++cursor.pos;
  }
};

// Takes the characters of `word` (lower case) in any case after its first one;
// a character that differs is consumed, as scanf consumes it, and fails the read.
bool takeWordRest(Input& in, const char* rest) {
  for (; *rest != '\0'; ++rest) {
    int c = in.get();
    if (c == EOF || toLower(c) != *rest) return false;
  }
  return true;
}

// "%f".
Conversion scanFloat(Input& in, float* value) {
  in.skipSpace();
  const char* start = in.cursor.pos;
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
    const std::size_t taken = static_cast<std::size_t>(in.cursor.pos - start);
    // Nothing but a sign, or nothing but "0x", is no number.
    if (taken == static_cast<std::size_t>(gotSign) || (hex && taken == 2u + gotSign)) {
      return Conversion::MATCH_FAILURE;
    }
  }

  // What scanf took is handed to strtof whole; it may use less (the 'e' of "1e").
  std::size_t used = 0;
  float converted = glmTextToFloat(start, static_cast<std::size_t>(in.cursor.pos - start), &used);
  if (used == 0) return Conversion::MATCH_FAILURE;
  *value = converted;
  return Conversion::DONE;
}

// "%ld": saturates at LONG_MIN / LONG_MAX as strtol does.
Conversion scanLong(Input& in, long* value) {
  in.skipSpace();
  int c = in.get();
  if (c == EOF) return Conversion::INPUT_FAILURE;
  bool negative = false;
  if (c == '-' || c == '+') {
    negative = c == '-';
    c = in.get();
  }
  const char* digits = in.cursor.pos - (c == EOF ? 0 : 1);
  std::uint64_t magnitude = 0;
  bool overflow = false;
  while (isDigit(c)) {
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (magnitude > (UINT64_MAX - digit) / 10) {
      overflow = true;
    } else {
      magnitude = magnitude * 10 + digit;
    }
    c = in.get();
  }
  in.unget(c);
  if (in.cursor.pos == digits) return Conversion::MATCH_FAILURE;  // no digit, at most a sign

  constexpr std::uint64_t LONG_MAX_MAGNITUDE = static_cast<std::uint64_t>(LONG_MAX);
  if (negative) {
    *value = overflow || magnitude > LONG_MAX_MAGNITUDE + 1 ? LONG_MIN
                                                          : static_cast<long>(0 - magnitude);
  } else {
    *value = overflow || magnitude > LONG_MAX_MAGNITUDE ? LONG_MAX : static_cast<long>(magnitude);
  }
  return Conversion::DONE;
}

// A literal character of the format.
Conversion matchChar(Input& in, char want) {
  int c = in.get();
  if (c == EOF) return Conversion::INPUT_FAILURE;
  if (c != static_cast<unsigned char>(want)) {
    in.unget(c);
    return Conversion::MATCH_FAILURE;
  }
  return Conversion::DONE;
}

// scanf's count: the conversions done, or -1 for an input failure before any.
int finish(Conversion failure, int done) {
  return failure == Conversion::INPUT_FAILURE && done == 0 ? EOF : done;
}

}  // namespace

int glmScanToken(ScanCursor& cursor, char* token, int width) {
  Input in{cursor};
  in.skipSpace();
  if (cursor.pos == cursor.end) return EOF;
  int n = 0;
  while (n < width && cursor.pos != cursor.end && !isSpace(static_cast<unsigned char>(*cursor.pos))) {
    token[n++] = *cursor.pos++;
  }
  token[n] = '\0';
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
  Input in{cursor};
  int done = 0;
  for (int i = 0; i < count; ++i) {
    Conversion result = scanFloat(in, &values[i]);
    if (result != Conversion::DONE) return finish(result, done);
    ++done;
  }
  return done;
}

int glmScanCorner(ScanCursor& cursor, FaceForm form, long* vertex, long* texture, long* normal) {
  Input in{cursor};
  int done = 0;
  Conversion result = scanLong(in, vertex);
  if (result != Conversion::DONE) return finish(result, done);
  ++done;
  if (form == FaceForm::VERTEX) return done;

  if ((result = matchChar(in, '/')) != Conversion::DONE) return finish(result, done);
  if (form == FaceForm::VERTEX_NORMAL) {
    if ((result = matchChar(in, '/')) != Conversion::DONE) return finish(result, done);
    if ((result = scanLong(in, normal)) != Conversion::DONE) return finish(result, done);
    return done + 1;
  }
  if ((result = scanLong(in, texture)) != Conversion::DONE) return finish(result, done);
  ++done;
  if (form == FaceForm::VERTEX_TEXTURE) return done;
  if ((result = matchChar(in, '/')) != Conversion::DONE) return finish(result, done);
  if ((result = scanLong(in, normal)) != Conversion::DONE) return finish(result, done);
  return done + 1;
}

FaceForm glmScanFaceForm(const char* token) {
  if (std::strstr(token, "//") != nullptr) return FaceForm::VERTEX_NORMAL;
  const char* end = token + std::strlen(token);
  long a, b, c;
  ScanCursor three{token, end};
  if (glmScanCorner(three, FaceForm::VERTEX_TEXTURE_NORMAL, &a, &b, &c) == 3) return FaceForm::VERTEX_TEXTURE_NORMAL;
  ScanCursor two{token, end};
  if (glmScanCorner(two, FaceForm::VERTEX_TEXTURE, &a, &b, &c) == 2) return FaceForm::VERTEX_TEXTURE;
  return FaceForm::VERTEX;
}
