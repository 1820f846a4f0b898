// A random walk over OBJ and MTL statements, mostly well formed so that the
// reads get past the first statements, with every odd form mixed in.
#include "tests/glm/tricky_obj.h"

#include <random>
#include <vector>

namespace glmtest {

namespace {

const char* const ODD_NUMBERS[] = {
    "1e+x", "-x", "nan", "-nan", "NaN(12)", "inf", "-Infinity", "infinx", "infi", "0x1p3", "0X1.8P-2", "0x.", "0x",
    "0xg", "1.2.3", "1e5.3", "-.e5", ".5", "5.", "-0", "+0.0", "1e", "1e-", "1e+", "3.4028235e38", "3.4028236e38",
    "1e39", "-1e-46", "7e-46", "1.17549435e-38", "123456789012345678901234", "0.000000000000000000000012345",
    "16777217", "0.500000029802322387695312500", "+", "-", ".", "e5", "--1", "+-1", "1e99999999999"};

const char* const ODD_CORNERS[] = {"1/", "1//", "/1", "1/x", "1//x", "1/2/", "1/2/x", "x", "-", "+1", "--1",
                                   "1//2/3", "1/2//3", "99999999999999999999", "-99999999999999999999", "0", "1/ 2",
                                   "1 /2"};

const char* const BLANKS[] = {" ", " ", " ", "  ", "\t", " \t", "\v", "\f", "\r "};

class Writer {
 public:
  explicit Writer(std::uint32_t seed) : random_(seed) {}

  unsigned below(unsigned n) { return static_cast<unsigned>(random_() % n); }
  bool chance(unsigned percent) { return below(100) < percent; }

  std::string blank() { return chance(85) ? " " : BLANKS[below(sizeof BLANKS / sizeof *BLANKS)]; }

  std::string lineEnd() {
    switch (below(20)) {
      case 0:
        return "\r\n";
      case 1:
        return " \n";
      case 2:
        return "\n\n";
      default:
        return "\n";
    }
  }

  std::string number() {
    if (chance(8)) return ODD_NUMBERS[below(sizeof ODD_NUMBERS / sizeof *ODD_NUMBERS)];
    std::string text;
    if (chance(40)) text += '-';
    const unsigned integerDigits = below(4);
    for (unsigned i = 0; i < integerDigits; ++i) text += static_cast<char>('0' + below(10));
    if (integerDigits == 0 || chance(80)) {
      text += '.';
      const unsigned fraction = 1 + below(chance(10) ? 25 : 7);
      for (unsigned i = 0; i < fraction; ++i) text += static_cast<char>('0' + below(10));
    }
    if (chance(10)) {
      text += chance(50) ? 'e' : 'E';
      if (chance(60)) text += chance(50) ? '-' : '+';
      text += std::to_string(below(chance(10) ? 60 : 12));
    }
    return text;
  }

  // Most odd corners end the read with a bad index: only some files have them.
  bool oddCorners = false;

  std::string index(unsigned count) {
    if (oddCorners && chance(2)) return ODD_CORNERS[below(sizeof ODD_CORNERS / sizeof *ODD_CORNERS)];
    const unsigned value = 1 + below(count == 0 ? 1 : count);
    if (chance(10)) return "-" + std::to_string(1 + below(count == 0 ? 1 : count));
    return std::to_string(value);
  }

  std::string word() {
    static const char* const WORDS[] = {"red", "blue", "body", "wheel", "a", "b c", "", "x\ty", "default"};
    if (chance(3)) return std::string(100 + below(100), 'n');
    return WORDS[below(sizeof WORDS / sizeof *WORDS)];
  }

 private:
  std::mt19937 random_;
};

std::string makeMtl(Writer& w) {
  std::string text;
  const unsigned statements = 5 + w.below(25);
  for (unsigned i = 0; i < statements; ++i) {
    switch (w.below(12)) {
      case 0:
      case 1:
        text += "newmtl" + w.blank() + w.word();
        break;
      case 2:
        text += "Kd" + w.blank() + w.number() + w.blank() + w.number() + w.blank() + w.number();
        break;
      case 3:
        text += (w.chance(50) ? "Ka" : "Ks") + w.blank() + w.number() + w.blank() + w.number() + w.blank() + w.number();
        break;
      case 4:
        text += "Ns" + w.blank() + w.number();
        break;
      case 5:
        text += (w.chance(50) ? "d" : "Tr") + w.blank() + w.number();
        break;
      case 6:
        text += "map_Kd" + w.blank() + (w.chance(50) ? "wheel.tga" : (w.chance(50) ? "tex/body.bmp" : "FAIL.tga"));
        break;
      case 7:
        text += "map_Ka wheel.tga";
        break;
      case 8:
        text += "Ni 1.5";
        break;
      case 9:
        text += "# " + std::string(w.below(200), 'c');
        break;
      case 10:
        text += "Tf 1 1 1";
        break;
      default:
        text += "illum 2";
        break;
    }
    text += w.lineEnd();
  }
  return text;
}

}  // namespace

TrickyModel makeTrickyModel(std::uint32_t seed) {
  Writer w(seed);
  TrickyModel model;
  w.oddCorners = w.chance(25);
  const bool fatalTokens = w.chance(10);
  if (w.chance(50)) {
    model.obj += "mtllib" + w.blank() + "m.mtl" + w.lineEnd();
    model.mtl = makeMtl(w);
  }
  // Something for every index kind to name from the first face on.
  model.obj += "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
  unsigned vertices = 3, uvs = 1, normals = 1;
  const unsigned statements = 10 + w.below(60);
  for (unsigned i = 0; i < statements; ++i) {
    std::string line;
    switch (w.below(16)) {
      case 0:
      case 1:
      case 2:
      case 3: {
        const unsigned count = w.chance(90) ? 3 : w.below(5);
        line = "v";
        for (unsigned k = 0; k < count; ++k) line += w.blank() + w.number();
        ++vertices;
        break;
      }
      case 4:
        line = "vt" + w.blank() + w.number() + w.blank() + w.number() + (w.chance(20) ? " 0" : "");
        ++uvs;
        break;
      case 5:
        line = "vn" + w.blank() + w.number() + w.blank() + w.number() + w.blank() + w.number();
        ++normals;
        break;
      case 6:
      case 7:
      case 8:
      case 9: {
        // A face without corners takes the next statement's token as its corner: only in odd files.
        const unsigned corners = w.chance(90) ? 3 + w.below(3) : (w.oddCorners ? w.below(3) : 1 + w.below(2));
        const unsigned form = w.below(4);
        line = "f";
        for (unsigned k = 0; k < corners; ++k) {
          const unsigned cornerForm = w.chance(90) ? form : w.below(4);
          std::string corner = w.index(vertices);
          if (cornerForm == 0) corner += "/" + w.index(uvs) + "/" + w.index(normals);
          if (cornerForm == 1) corner += "//" + w.index(normals);
          if (cornerForm == 2) corner += "/" + w.index(uvs);
          line += w.blank() + corner;
        }
        break;
      }
      case 10:
        line = "g" + (w.chance(90) ? w.blank() + w.word() : std::string());
        break;
      case 11:
        line = "usemtl" + w.blank() + w.word();
        break;
      case 12:
        line = "# " + std::string(w.below(300), w.chance(50) ? 'x' : ' ') + (w.chance(30) ? "v 1 2 3" : "");
        break;
      case 13:
        line = w.chance(50) ? "o thing" : "s off";
        break;
      case 14:
        line = w.chance(80) ? "l 1 2" : (fatalTokens ? "vp 0.5" : "v" + std::string(1, '\0') + "1 2 3");
        break;
      default:
        line = w.number() + w.blank() + w.number();
        break;
    }
    model.obj += line + w.lineEnd();
  }
  if (w.chance(20) && !model.obj.empty()) model.obj.pop_back();  // no final line end
  return model;
}

}  // namespace glmtest
