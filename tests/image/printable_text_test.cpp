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

}  // namespace
