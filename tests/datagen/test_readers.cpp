// Small readers for the generated files, written for the tests alone.
#include "tests/datagen/test_readers.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace datagentest {

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

namespace {

uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

}  // namespace

bool decodeBmp(const std::vector<uint8_t>& b, BmpInfo& info, Picture& picture, std::string& why) {
  if (b.size() < 54) return why = "shorter than the headers", false;
  if (b[0] != 'B' || b[1] != 'M') return why = "no BM signature", false;
  info.fileSizeField = le(b, 2, 4);
  info.dataOffset = le(b, 10, 4);
  info.headerSize = le(b, 14, 4);
  info.width = static_cast<int32_t>(le(b, 18, 4));
  info.height = static_cast<int32_t>(le(b, 22, 4));
  info.planes = static_cast<uint16_t>(le(b, 26, 2));
  info.bitsPerPixel = static_cast<uint16_t>(le(b, 28, 2));
  info.compression = le(b, 30, 4);
  if (info.bitsPerPixel != 24 || info.compression != 0) return why = "not uncompressed 24-bit", false;
  if (info.width <= 0 || info.height <= 0) return why = "not a positive, bottom-up size", false;
  size_t rowBytes = (static_cast<size_t>(info.width) * 3 + 3) / 4 * 4;
  if (info.dataOffset + rowBytes * info.height != b.size()) return why = "size differs from the header's", false;
  picture.width = info.width;
  picture.height = info.height;
  picture.channels = 3;
  picture.pixels.clear();
  for (int y = 0; y < info.height; ++y) {
    size_t row = info.dataOffset + rowBytes * y;
    for (int x = 0; x < info.width; ++x) {
      picture.pixels.push_back(b[row + 3 * x + 2]);
      picture.pixels.push_back(b[row + 3 * x + 1]);
      picture.pixels.push_back(b[row + 3 * x]);
    }
    for (size_t pad = row + 3 * info.width; pad < row + rowBytes; ++pad) {
      if (b[pad] != 0) return why = "non-zero padding byte", false;
    }
  }
  return true;
}

bool decodeTga(const std::vector<uint8_t>& b, TgaInfo& info, Picture& picture, std::string& why) {
  if (b.size() < 18) return why = "shorter than the header", false;
  info.idLength = b[0];
  info.colorMapType = b[1];
  info.imageType = b[2];
  info.width = static_cast<uint16_t>(le(b, 12, 2));
  info.height = static_cast<uint16_t>(le(b, 14, 2));
  info.pixelDepth = b[16];
  info.descriptor = b[17];
  if (info.pixelDepth != 24 && info.pixelDepth != 32) return why = "depth not 24 or 32", false;
  if (info.imageType != 2 && info.imageType != 10) return why = "type not 2 or 10", false;
  const int bpp = info.pixelDepth / 8;
  const size_t count = static_cast<size_t>(info.width) * info.height;
  picture.width = info.width;
  picture.height = info.height;
  picture.channels = bpp;
  picture.pixels.assign(count * bpp, 0);
  const bool topFirst = (info.descriptor & 0x20) != 0;
  // Stored pixel k goes to column k % width of stored row k / width.
  auto store = [&](size_t k, const uint8_t* src) {
    size_t storedRow = k / info.width;
    size_t y = topFirst ? info.height - 1 - storedRow : storedRow;
    uint8_t* dst = &picture.pixels[(y * info.width + k % info.width) * bpp];
    dst[0] = src[2], dst[1] = src[1], dst[2] = src[0];
    if (bpp == 4) dst[3] = src[3];
  };
  size_t at = 18 + info.idLength;
  if (info.imageType == 2) {
    if (b.size() != at + count * bpp) return why = "pixel data not exactly the image", false;
    for (size_t k = 0; k < count; ++k) store(k, &b[at + k * bpp]);
    return true;
  }
  size_t k = 0;
  while (k < count) {
    if (at >= b.size()) return why = "run-length data ends early", false;
    uint8_t head = b[at++];
    size_t n = (head & 0x7F) + 1;
    if (k + n > count) return why = "packet runs past the last pixel", false;
    if ((k % info.width) + n > info.width) ++info.packetsAcrossRows;
    if (head & 0x80) {
      if (at + bpp > b.size()) return why = "run packet cut short", false;
      for (size_t i = 0; i < n; ++i) store(k + i, &b[at]);
      at += bpp;
      ++info.runPackets;
    } else {
      if (at + n * bpp > b.size()) return why = "raw packet cut short", false;
      for (size_t i = 0; i < n; ++i) store(k + i, &b[at + i * bpp]);
      at += n * bpp;
      ++info.rawPackets;
    }
    k += n;
  }
  if (at != b.size()) return why = "bytes left after the last packet", false;
  return true;
}

ObjFile parseObj(const std::string& text) {
  ObjFile obj;
  std::istringstream lines(text);
  std::string line, group = "default", material;
  int lineNo = 0;
  while (std::getline(lines, line)) {
    ++lineNo;
    std::istringstream in(line);
    std::string key;
    if (!(in >> key) || key[0] == '#') continue;
    auto problem = [&](const std::string& what) { obj.problems.push_back("line " + std::to_string(lineNo) + ": " + what); };
    if (key == "v" || key == "vn") {
      Vec3d v;
      if (!(in >> v.x >> v.y >> v.z)) problem("short " + key);
      (key == "v" ? obj.positions : obj.normals).push_back(v);
    } else if (key == "vt") {
      double u = 0, w = 0;
      if (!(in >> u >> w)) problem("short vt");
      obj.uvs.push_back({u, w});
    } else if (key == "mtllib") {
      std::string name;
      in >> name;
      obj.materialLibraries.push_back(name);
    } else if (key == "g") {
      std::string rest;
      std::getline(in >> std::ws, rest);
      group = rest;
      if (obj.groupMaterial.count(group) == 0) obj.groupOrder.push_back(group);
      obj.groupMaterial[group];
      material.clear();
    } else if (key == "usemtl") {
      in >> material;
      obj.groupMaterial[group] = material;
    } else if (key == "f") {
      ObjFace face;
      face.group = group;
      face.material = material;
      std::string token;
      while (in >> token) {
        ObjCorner c;
        CornerForm form;
        size_t s1 = token.find('/');
        if (s1 == std::string::npos) {
          form = CornerForm::V;
          c.v = std::stoi(token);
        } else {
          size_t s2 = token.find('/', s1 + 1);
          c.v = std::stoi(token.substr(0, s1));
          if (s2 == std::string::npos) {
            form = CornerForm::V_VT;
            c.vt = std::stoi(token.substr(s1 + 1));
          } else if (s2 == s1 + 1) {
            form = CornerForm::V_VN;
            c.vn = std::stoi(token.substr(s2 + 1));
          } else {
            form = CornerForm::V_VT_VN;
            c.vt = std::stoi(token.substr(s1 + 1, s2 - s1 - 1));
            c.vn = std::stoi(token.substr(s2 + 1));
          }
        }
        face.corners.push_back(c);
        face.forms.push_back(form);
      }
      obj.faces.push_back(face);
    } else {
      problem("unexpected statement " + key);
    }
  }
  return obj;
}

std::map<std::string, MtlMaterial> parseMtl(const std::string& text, std::vector<std::string>& problems) {
  std::map<std::string, MtlMaterial> out;
  std::istringstream lines(text);
  std::string line;
  MtlMaterial* current = nullptr;
  while (std::getline(lines, line)) {
    std::istringstream in(line);
    std::string key;
    if (!(in >> key) || key[0] == '#') continue;
    if (key == "newmtl") {
      std::string name;
      in >> name;
      current = &out[name];
      continue;
    }
    if (!current) {
      problems.push_back("statement before newmtl: " + key);
      continue;
    }
    if (key == "Ka" || key == "Kd" || key == "Ks") {
      double* dst = key == "Ka" ? current->ka : key == "Kd" ? current->kd : current->ks;
      if (!(in >> dst[0] >> dst[1] >> dst[2])) problems.push_back("short " + key);
    } else if (key == "Ns") {
      in >> current->ns;
    } else if (key == "d") {
      in >> current->d;
    } else if (key == "map_Kd") {
      in >> current->mapKd;
    } else if (key != "illum") {
      problems.push_back("unexpected statement " + key);
    }
  }
  return out;
}

}  // namespace datagentest
