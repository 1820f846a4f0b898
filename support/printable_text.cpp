// Escaping of file text for messages: control bytes and broken UTF-8.
#include "support/printable_text.h"

#include <algorithm>
#include <cstdio>

namespace {

// Length of the well-formed UTF-8 sequence that starts at `pos`, or 0 when the
// bytes there are not one (overlong forms and surrogates included).
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  if (byte(pos + 1) < low || byte(pos + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string printableText(std::string_view text) {
  std::string out;
  out.reserve(std::min(text.size(), PRINTABLE_TEXT_MAX) + 32);
  // The end of the last character that still fits: where a long text is cut.
  // Escaping stops at the first character past the limit.
  std::size_t fits = 0;
  for (std::size_t pos = 0; pos < text.size() && out.size() <= PRINTABLE_TEXT_MAX;) {
    fits = out.size();
    const unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++pos;
      continue;
    }
    if (c >= 0x80) {
      if (const std::size_t length = utf8SequenceLength(text, pos)) {
        out.append(text.substr(pos, length));
        pos += length;
        continue;
      }
    }
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02x", c);
      out += code;
    }
    ++pos;
  }
  if (out.size() > PRINTABLE_TEXT_MAX) {
    out.resize(fits);
    out += "\u2026 (" + std::to_string(text.size()) + " bytes)";
  }
  return out;
}
