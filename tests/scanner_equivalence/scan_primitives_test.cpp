// The in-memory scanner's reads against the stdio reference (glibc's fscanf and
// fgets) on the same bytes (a real temporary file, or an in-memory stream for
// the exhaustive runs): results, stored values (floats by their bits), buffers
// and how far each read went; and both against hand-worked cases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "glm/buffer_scanner.h"
#include "glm/scanner.h"
#include "tests/reference/stdio_scanner.h"

namespace {

// A real file holding `bytes`, open for reading at its start.
class ByteFile {
 public:
  explicit ByteFile(const std::string& bytes) : file_(std::tmpfile()) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file_);
    std::rewind(file_);
  }
  ~ByteFile() { std::fclose(file_); }
  ByteFile(const ByteFile&) = delete;
  ByteFile& operator=(const ByteFile&) = delete;
  std::FILE* get() const { return file_; }

 private:
  std::FILE* file_;
};

std::string printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[8];
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// One read done on both scanners; what the reference (stdio) did, and what the
// fast one did, in one comparable record.
struct Outcome {
  int result = 0;
  std::vector<uint32_t> stored;  // float bits or longs, as the read stores them
  std::string buffer;
  long line = 0;

  bool operator==(const Outcome& other) const {
    return result == other.result && stored == other.stored && buffer == other.buffer && line == other.line;
  }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  out << "result " << o.result << ", line " << o.line << ", stored";
  for (uint32_t v : o.stored) out << " " << std::hex << v << std::dec;
  return out << ", buffer \"" << printable(o.buffer) << "\"";
}

enum class Read { TOKEN, LINE_128, LINE_260, FLOAT_1, FLOAT_2, FLOAT_3, CORNER_VN, CORNER_VTN, CORNER_VT, CORNER_V };
constexpr Read ALL_READS[] = {Read::TOKEN,    Read::LINE_128,  Read::LINE_260,   Read::FLOAT_1,   Read::FLOAT_2,
                              Read::FLOAT_3,  Read::CORNER_VN, Read::CORNER_VTN, Read::CORNER_VT, Read::CORNER_V};

Outcome doRead(ObjScanner& scanner, Read read) {
  Outcome outcome;
  char buffer[GLM_MAP_LINE_SIZE + 1];
  std::memset(buffer, 'Z', sizeof buffer);
  switch (read) {
    case Read::TOKEN:
      outcome.result = scanner.readToken(buffer);
      outcome.buffer.assign(buffer, sizeof buffer);
      break;
    case Read::LINE_128:
    case Read::LINE_260:
      outcome.result = scanner.readLine(buffer, read == Read::LINE_128 ? GLM_LINE_SIZE : GLM_MAP_LINE_SIZE);
      outcome.buffer.assign(buffer, sizeof buffer);
      break;
    case Read::FLOAT_1:
    case Read::FLOAT_2:
    case Read::FLOAT_3: {
      float values[3] = {-7.0f, -7.0f, -7.0f};
      outcome.result = scanner.readFloats(values, 1 + static_cast<int>(read) - static_cast<int>(Read::FLOAT_1));
      for (float v : values) outcome.stored.push_back(bitsOf(v));
      break;
    }
    default: {
      const FaceForm form = static_cast<FaceForm>(static_cast<int>(read) - static_cast<int>(Read::CORNER_VN));
      long values[3] = {-7, -7, -7};
      outcome.result = scanner.readCorner(form, &values[0], &values[1], &values[2]);
      for (long v : values) {
        outcome.stored.push_back(static_cast<uint32_t>(v));
        outcome.stored.push_back(static_cast<uint32_t>(static_cast<unsigned long>(v) >> 32));
      }
      break;
    }
  }
  outcome.line = scanner.currentLine();
  return outcome;
}

// Runs `reads` in turn on the reference over a real file and on the fast
// scanner over the same bytes; every outcome must match, and after the last
// read both must have the same bytes left.
void expectSameReads(const std::string& bytes, const std::vector<Read>& reads) {
  ByteFile file(bytes);
  StdioScanner reference(file.get());
  BufferScanner fast(bytes.data(), bytes.size());
  for (size_t i = 0; i < reads.size(); ++i) {
    const Outcome expected = doRead(reference, reads[i]);
    const Outcome got = doRead(fast, reads[i]);
    ASSERT_EQ(got, expected) << "read " << i << " (kind " << static_cast<int>(reads[i]) << ") of \""
                             << printable(bytes) << "\"";
  }
  char restA[GLM_MAP_LINE_SIZE], restB[GLM_MAP_LINE_SIZE];
  for (;;) {
    const bool a = reference.readLine(restA, sizeof restA), b = fast.readLine(restB, sizeof restB);
    ASSERT_EQ(a, b) << "what is left of \"" << printable(bytes) << "\"";
    if (!a) break;
    ASSERT_STREQ(restA, restB);
  }
}

}  // namespace

TEST(ScanPrimitives, TokensMatchFscanfAtTheirLimits) {
  const std::string cases[] = {
      "",
      "   \n\t ",
      "abc",
      "  abc def\nghi",
      std::string(127, 'x') + " y",
      std::string(128, 'x') + " y",
      std::string(300, 'x'),
      std::string("a\0b c", 5),         // NUL is not a blank: part of the token
      "\r\nv\r\n1\r",                   // CR is a blank
      "\v\fx\v",                        // so are vertical tab and form feed
      "\xff\xa0z \x85q",                // bytes above 127 are not blanks in the "C" locale
      "tail-without-line-end",
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(printable(bytes));
    expectSameReads(bytes, std::vector<Read>(8, Read::TOKEN));
  }
}

TEST(ScanPrimitives, LineReadsMatchFgetsAroundTheBufferSizes) {
  std::vector<std::string> cases;
  for (size_t length : {0, 1, 125, 126, 127, 128, 129, 254, 258, 259, 260, 261, 400}) {
    cases.push_back(std::string(length, 'l') + "\n" + std::string(length / 2, 'm') + "\r\n" + "end");
  }
  cases.push_back(std::string("nul\0inside\nnext\n", 16));
  cases.push_back("\n\n\n");
  cases.push_back("no line end");
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(printable(bytes.substr(0, 40)));
    expectSameReads(bytes, {Read::LINE_128, Read::LINE_128, Read::LINE_260, Read::LINE_128, Read::LINE_260,
                            Read::LINE_128, Read::LINE_128, Read::LINE_128});
    expectSameReads(bytes, {Read::TOKEN, Read::LINE_128, Read::TOKEN, Read::LINE_260, Read::TOKEN, Read::LINE_128});
  }
}

TEST(ScanPrimitives, OddNumberFormsMatchFscanf) {
  const char* const forms[] = {
      "0", "-0", "+0", "1", "-1", "+1.5", ".5", "-.5", "5.", "1.2.3", "1e5", "1E5", "1e+5", "1e-5", "1e", "1e+",
      "1e-", "1e+x", "1ex", "1e5.3", "1.e5", ".e5", "-.e5", ".", "-", "+", "--1", "+-1", "-x", "x", "e5",
      "nan", "NaN", "-nan", "+nan", "nan(12)", "na", "nax", "n", "inf", "INF", "-Inf", "infinity", "InFiNiTy",
      "infinit", "infinx", "infi", "infx", "in", "i", "0x1p3", "0X1P-3", "0x1.8p1", "-0x1p-149", "0x", "0xg", "0x.",
      "0x.p1", "0x1p", "0x1p+", "0x1px", "00x1", "0e", "0.0e0", "3.4028235e38", "3.4028236e38", "1e39", "-1e39",
      "1.17549435e-38", "1e-45", "7e-46", "1e-46", "1.4e-45", "1e99999999999", "1e-99999999999",
      "123456789012345678901234567890", "0.000000000000000000000000000000000000000000001401298464324817",
      "16777217", "16777216.5", "0.500000029802322387695312500", "0.1", "0.2", "0.3", "3.14159265358979323846",
  };
  const char* const followers[] = {"", " ", "\n", "x", "/", "e", ".", "5"};
  for (const char* form : forms) {
    for (const char* follower : followers) {
      const std::string bytes = std::string(" \t") + form + follower + " 2 3\n";
      SCOPED_TRACE(printable(bytes));
      expectSameReads(bytes, {Read::FLOAT_1, Read::TOKEN});
      expectSameReads(bytes, {Read::FLOAT_3, Read::LINE_128});
      expectSameReads(std::string(form) + follower, {Read::FLOAT_2, Read::FLOAT_1});
    }
  }
}

// The model format's reading of partial numbers, which the C standard would
// not predict: a number is read as glibc's fscanf("%f") reads it (what it
// collected goes to strtof, and only the one character that ended the number
// is put back). Reasoned out by hand and held on both scanners, the reference
// and the program's.
TEST(ScanPrimitives, PartialNumbersAsReasoned) {
  struct Case {
    const char* bytes;
    int result;      // what the read returns
    float value;     // stored when result is 1
    long consumed;   // bytes taken
  };
  const Case cases[] = {
      {"1e+x", 1, 1.0f, 3},    // "1e+" taken, strtof uses "1"
      {"1e", 1, 1.0f, 2},      // at the end of the input
      {"-x", 0, 0, 1},         // the sign stays consumed, 'x' is put back
      {"-", 0, 0, 1},          // a lone sign at the end: a matching failure, not -1
      {"", -1, 0, 0},          // the end of the input before anything: -1
      {"nax", 0, 0, 3},        // the mismatching character is consumed too
      {"infinx", 0, 0, 6},     // after "infi" only "infinity" will do
      {"infx", 1, INFINITY, 3},
      {"0x", 0, 0, 2},         // a bare "0x" is no number
      {"0x.", 1, 0.0f, 3},     // but "0x." is: strtof takes its "0"
      {"1.2.3", 1, 1.2f, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    ByteFile file(c.bytes);
    StdioScanner reference(file.get());
    BufferScanner fast(c.bytes, std::strlen(c.bytes));
    for (ObjScanner* scanner : {static_cast<ObjScanner*>(&reference), static_cast<ObjScanner*>(&fast)}) {
      SCOPED_TRACE(scanner == &fast ? "BufferScanner" : "StdioScanner");
      float value = -7;
      EXPECT_EQ(scanner->readFloats(&value, 1), c.result);
      if (c.result == 1) {
        EXPECT_EQ(bitsOf(value), bitsOf(c.value));
      } else {
        EXPECT_EQ(value, -7.0f) << "nothing stored";
      }
      // How far the read went: the rest is what a line read gets.
      char rest[GLM_LINE_SIZE] = "";
      scanner->readLine(rest, GLM_LINE_SIZE);
      EXPECT_EQ(std::string(rest), std::string(c.bytes).substr(static_cast<size_t>(c.consumed)));
    }
  }
}

TEST(ScanPrimitives, DecimalRoundingMatchesStrtofBitForBit) {
  // Many numbers in one file, read one by one: float midpoints written out
  // exactly (where a double rounding would go wrong), their near neighbours,
  // long and short decimals, subnormals and the edges of the float range.
  std::mt19937 random(20240601);
  std::string text;
  int count = 0;
  auto add = [&](const std::string& number) {
    text += number;
    text += (count++ % 7 == 0) ? "\n" : " ";
  };
  char buffer[1200];
  for (int i = 0; i < 6000; ++i) {
    uint32_t bits = static_cast<uint32_t>(random());
    float a;
    std::memcpy(&a, &bits, sizeof a);
    if (!std::isfinite(a)) continue;
    const float b = std::nextafter(a, i % 2 ? INFINITY : -INFINITY);
    const double middle = (static_cast<double>(a) + static_cast<double>(b)) / 2;
    std::snprintf(buffer, sizeof buffer, "%.*e", i % 3 == 0 ? 120 : 6 + i % 20, middle);
    add(buffer);
    std::snprintf(buffer, sizeof buffer, "%.9g", a);
    add(buffer);
  }
  for (int i = 0; i < 6000; ++i) {
    std::string number = random() % 3 == 0 ? "-" : "";
    const int integer = static_cast<int>(random() % 8), fraction = static_cast<int>(random() % 24);
    for (int k = 0; k < integer; ++k) number += static_cast<char>('0' + random() % 10);
    number += '.';
    for (int k = 0; k < fraction; ++k) number += static_cast<char>('0' + random() % 10);
    if (integer + fraction == 0) number += '0';
    if (random() % 4 == 0) number += "e" + std::to_string(static_cast<int>(random() % 90) - 45);
    add(number);
  }
  for (const char* edge : {"3.40282346638528859811704183484516925440e+38", "3.4028235677973366e38",
                           "3.40282356779733661637539395458142568447e38", "1.40129846432481707092e-45",
                           "7.00649232162408535461864791e-46", "7.00649232162408535461864792e-46",
                           "1.1754942106924410754870294448492873e-38", "1.17549435082228750796873653722e-38"}) {
    add(edge);
    add(std::string("-") + edge);
  }

  ByteFile file(text);
  StdioScanner reference(file.get());
  BufferScanner fast(text.data(), text.size());
  for (int i = 0; i < count; ++i) {
    float expected = -7, got = -7;
    const int a = reference.readFloats(&expected, 1);
    const int b = fast.readFloats(&got, 1);
    ASSERT_EQ(a, 1);
    ASSERT_EQ(b, 1);
    ASSERT_EQ(bitsOf(got), bitsOf(expected)) << "number " << i << ": " << expected << " against " << got;
  }
}

TEST(ScanPrimitives, CornerPatternsMatchFscanf) {
  const char* const corners[] = {
      "1/2/3", "1//2", "1/2", "1", "-1/-2/-3", "+1/+2/+3", "1/ 2/ 3", "1 /2", "1//", "1/", "/1", "1/2/", "1/2/x",
      "1//x", "1///2", "x", "-", "--1", "+-1", "-x", "0x10", "007", "1/2/3/4", "99999999999999999999",
      "-99999999999999999999", "9223372036854775807", "9223372036854775808", "-9223372036854775808",
      "-9223372036854775809", "18446744073709551616", "123456789012345678901234567890", "1\n/2", "1/\n2",
  };
  const char* const followers[] = {"", " ", "\n", " 4/5/6", "x", "/"};
  for (const char* corner : corners) {
    for (const char* follower : followers) {
      const std::string bytes = std::string(" ") + corner + follower;
      SCOPED_TRACE(printable(bytes));
      for (Read read : {Read::CORNER_VN, Read::CORNER_VTN, Read::CORNER_VT, Read::CORNER_V}) {
        expectSameReads(bytes, {read, read, Read::TOKEN});
      }
    }
  }
}

TEST(ScanPrimitives, FaceFormAndFirstCornerMatchSscanf) {
  const char* const tokens[] = {"1/2/3", "1//2", "1/2", "1", "1/2/x", "1/x", "x/2", "1//", "1//2/3", "1/2//3",
                                "//", "/", "", "-1/-2", "+1", "1/2/3/4", "99999999999999999999/1/1", "1/ 2/3",
                                "-", "a//b", "1/-/2", "1/2/-"};
  for (const char* token : tokens) {
    SCOPED_TRACE(token);
    BufferScanner fast("", 0);
    EXPECT_EQ(fast.faceFormOf(token), glmFaceFormOf(token));
    long expected[3] = {-7, -7, -7}, got[3] = {-7, -7, -7};
    const FaceForm form = glmFaceFormOf(token);
    glmParseCorner(token, form, &expected[0], &expected[1], &expected[2]);
    EXPECT_EQ(fast.parseFirstCorner(token, &got[0], &got[1], &got[2]), form);
    EXPECT_EQ(std::vector<long>(got, got + 3), std::vector<long>(expected, expected + 3));
  }
}

TEST(ScanPrimitives, FirstCornersAsTheFormatReadsThem) {
  // Worked out from the corner forms, independent of either scanner: a "//"
  // anywhere makes v//n; otherwise three numbers v/t/n, two v/t, else v. What
  // the form's pattern does not match is left as it was (-7).
  constexpr long KEPT = -7;
  const struct {
    const char* token;
    FaceForm form;
    long vertex, texture, normal;
  } cases[] = {
      {"1/2/3", FaceForm::VERTEX_TEXTURE_NORMAL, 1, 2, 3},
      {"1//2", FaceForm::VERTEX_NORMAL, 1, KEPT, 2},
      {"1/2", FaceForm::VERTEX_TEXTURE, 1, 2, KEPT},
      {"1", FaceForm::VERTEX, 1, KEPT, KEPT},
      {"-1/-2", FaceForm::VERTEX_TEXTURE, -1, -2, KEPT},
      {"1/2/x", FaceForm::VERTEX_TEXTURE, 1, 2, KEPT},      // no third number: two make v/t
      {"1/2//3", FaceForm::VERTEX_NORMAL, 1, KEPT, KEPT},   // "//" wins; "%ld//%ld" stops at "/2"
      {"1/2/3/4", FaceForm::VERTEX_TEXTURE_NORMAL, 1, 2, 3},
      {"x/2", FaceForm::VERTEX, KEPT, KEPT, KEPT},
      {"a//b", FaceForm::VERTEX_NORMAL, KEPT, KEPT, KEPT},
  };
  ByteFile file("");
  StdioScanner reference(file.get());
  BufferScanner fast("", 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    for (ObjScanner* scanner : {static_cast<ObjScanner*>(&reference), static_cast<ObjScanner*>(&fast)}) {
      SCOPED_TRACE(scanner == &fast ? "BufferScanner" : "StdioScanner");
      long got[3] = {KEPT, KEPT, KEPT};
      EXPECT_EQ(scanner->parseFirstCorner(c.token, &got[0], &got[1], &got[2]), c.form);
      EXPECT_EQ(std::vector<long>(got, got + 3), (std::vector<long>{c.vertex, c.texture, c.normal}));
    }
  }
}

TEST(ScanPrimitives, EveryShortInputMatchesFscanf) {
  // Every string of up to four characters over the characters that steer the
  // reads, each read kind on a fresh in-memory stream.
  const std::string alphabet("01-+.ex/in \n\0", 13);
  std::vector<size_t> digits;
  size_t inputs = 0;
  for (size_t length = 1; length <= 4; ++length) {
    digits.assign(length, 0);
    for (;;) {
      std::string bytes;
      for (size_t d : digits) bytes += alphabet[d];
      for (Read read : ALL_READS) {
        std::FILE* stream = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
        ASSERT_NE(stream, nullptr);
        StdioScanner reference(stream);
        BufferScanner fast(bytes.data(), bytes.size());
        const Outcome expected = doRead(reference, read);
        const Outcome got = doRead(fast, read);
        std::fclose(stream);
        ASSERT_EQ(got, expected) << "kind " << static_cast<int>(read) << " on \"" << printable(bytes) << "\"";
      }
      ++inputs;
      size_t k = length;
      while (k > 0 && ++digits[k - 1] == alphabet.size()) digits[--k] = 0;
      if (k == 0) break;
    }
  }
  EXPECT_EQ(inputs, 13u + 13 * 13 + 13 * 13 * 13 + 13 * 13 * 13 * 13);
}

TEST(ScanPrimitives, RandomReadSequencesAgreeIncludingLinesAndRewind) {
  std::mt19937 random(77);
  const std::string pieces[] = {"v", "vt", "f", " ", "  ", "\n", "\r\n", "\t", "1", "-2.5", "1e", "nan", "/", "//",
                                "3/4/5", "-1//2", "x", "#", std::string(130, 'c'), "0x1p1", ".", "+",
                                std::string(1, '\0')};
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const int length = 1 + static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) bytes += pieces[random() % (sizeof pieces / sizeof *pieces)];
    ByteFile file(bytes);
    StdioScanner reference(file.get());
    BufferScanner fast(bytes.data(), bytes.size());
    for (int step = 0; step < 40; ++step) {
      if (random() % 15 == 0) {
        reference.rewind();
        fast.rewind();
        continue;
      }
      const Read read = ALL_READS[random() % (sizeof ALL_READS / sizeof *ALL_READS)];
      const Outcome expected = doRead(reference, read);
      const Outcome got = doRead(fast, read);
      ASSERT_EQ(got, expected) << "round " << round << " step " << step << " on \"" << printable(bytes) << "\"";
    }
  }
}
