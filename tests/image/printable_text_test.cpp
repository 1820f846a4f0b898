// File text shown inside messages: nothing that would garble a terminal gets through raw.
#include "support/printable_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PrintableText, EscapesControlBytesAndBrokenUtf8Only) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"data/cactus1.tga", "data/cactus1.tga"},
      {"C:\\tex\\wheel.tga", "C:\\tex\\wheel.tga"},  // a drive path keeps its backslashes
      {"kart.tga\n", "kart.tga\\n"},
      {"a\r\n\tb", "a\\r\\n\\tb"},
      {std::string("v\0x", 3), "v\\x00x"},
      {"\x1b[31mred", "\\x1b[31mred"},
      {"\x7f", "\\x7f"},
      {"gr\xc3\xa4s", "gr\xc3\xa4s"},                 // UTF-8 letter kept
      {"\xe2\x82\xac", "\xe2\x82\xac"},               // three-byte sequence kept
      {"\xf0\x9f\x8c\xb5", "\xf0\x9f\x8c\xb5"},       // four-byte sequence kept
      {"\xc3", "\\xc3"},                              // cut short at the end
      {"\xc3(", "\\xc3("},                            // bad continuation
      {"\xc0\xaf", "\\xc0\\xaf"},                     // overlong form
      {"\xed\xa0\x80", "\\xed\\xa0\\x80"},            // surrogate
      {"\xff\xfe", "\\xff\\xfe"},
  };
  for (const Case& c : cases) EXPECT_EQ(printableText(c.in), c.out) << c.out;
}

TEST(PrintableText, LongTextIsCutAtACharacterWithItsWholeLength) {
  const std::string euro = "\xe2\x82\xac";
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {std::string(160, 'a'), std::string(160, 'a')},
      {std::string(161, 'a'), std::string(160, 'a') + "\u2026 (161 bytes)"},
      {std::string(100000, 'a'), std::string(160, 'a') + "\u2026 (100000 bytes)"},
      // Escapes count as what they show, and are never split.
      {std::string(41, '\x01'), [] {
         std::string shown;
         for (int i = 0; i < 40; ++i) shown += "\\x01";
         return shown + "\u2026 (41 bytes)";
       }()},
      {std::string(159, 'a') + "\n", std::string(159, 'a') + "\u2026 (160 bytes)"},
      // Nor is a UTF-8 letter: 53 three-byte letters fit in 160 bytes.
      {[&] {
         std::string text;
         for (int i = 0; i < 60; ++i) text += euro;
         return text;
       }(),
       [&] {
         std::string shown;
         for (int i = 0; i < 53; ++i) shown += euro;
         return shown + "\u2026 (180 bytes)";
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in.size());
    EXPECT_EQ(printableText(c.in), c.out);
  }
}

}  // namespace
