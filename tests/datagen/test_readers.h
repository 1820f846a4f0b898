// Small readers for the generated files, written for the tests alone so that they
// check the generator's encoders independently: BMP and TGA decoding with header
// details kept, and a plain OBJ / MTL parser.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace datagentest {

std::vector<uint8_t> readFile(const std::string& path);

// Decoded picture: RGB(A) bytes, row 0 at the bottom.
struct Picture {
  int width = 0;
  int height = 0;
  int channels = 0;
  std::vector<uint8_t> pixels;
  const uint8_t* at(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
};

struct BmpInfo {
  uint32_t fileSizeField = 0, dataOffset = 0, headerSize = 0, compression = 0;
  int32_t width = 0, height = 0;
  uint16_t planes = 0, bitsPerPixel = 0;
};

// Returns false with a reason for anything but an uncompressed 24-bit bottom-up file
// whose size matches its header.
bool decodeBmp(const std::vector<uint8_t>& bytes, BmpInfo& info, Picture& picture, std::string& why);

struct TgaInfo {
  uint8_t idLength = 0, colorMapType = 0, imageType = 0, pixelDepth = 0, descriptor = 0;
  uint16_t width = 0, height = 0;
  int runPackets = 0, rawPackets = 0;
  int packetsAcrossRows = 0;  // run-length packets that continue into the next row
};

// Decodes types 2 and 10 at 24 or 32 bits; false with a reason otherwise, or when the
// data is short, too long, or a packet runs past the last pixel.
bool decodeTga(const std::vector<uint8_t>& bytes, TgaInfo& info, Picture& picture, std::string& why);

struct ObjCorner {
  int v = 0, vt = 0, vn = 0;  // 0 = absent
};

enum class CornerForm { V, V_VT, V_VN, V_VT_VN };

struct ObjFace {
  std::vector<ObjCorner> corners;
  std::vector<CornerForm> forms;  // per corner, to check one form per face
  std::string group;
  std::string material;
};

struct Vec3d {
  double x = 0, y = 0, z = 0;
};

struct ObjFile {
  std::vector<std::string> materialLibraries;
  std::vector<Vec3d> positions;
  std::vector<std::pair<double, double>> uvs;
  std::vector<Vec3d> normals;
  std::vector<ObjFace> faces;
  std::vector<std::string> groupOrder;               // as first named by "g"
  std::map<std::string, std::string> groupMaterial;  // group -> its "usemtl"
  std::vector<std::string> problems;                 // malformed lines
};

ObjFile parseObj(const std::string& text);

struct MtlMaterial {
  double ka[3] = {-1, -1, -1}, kd[3] = {-1, -1, -1}, ks[3] = {-1, -1, -1};
  double ns = -1, d = -1;
  std::string mapKd;
};

std::map<std::string, MtlMaterial> parseMtl(const std::string& text, std::vector<std::string>& problems);

}  // namespace datagentest
