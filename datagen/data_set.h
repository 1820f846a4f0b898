// Everything the generator makes: the files for data/ (path, bytes, a short note on
// the format) and, for previews, the pictures and meshes they were made from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/mesh.h"
#include "datagen/raster.h"

namespace datagen {

struct GeneratedFile {
  std::string path;  // relative to the data folder, e.g. "skybox/pos_z.bmp"
  std::vector<uint8_t> bytes;
  std::string format;  // e.g. "BMP 24-bit 1024x256"
};

struct NamedPicture {
  std::string path;  // the file it was written to
  Image8 image;      // exactly the stored pixels
};

struct DataSet {
  std::vector<GeneratedFile> files;
  std::vector<NamedPicture> pictures;
  Mesh kart;
  Mesh grass;

  const Image8& picture(const std::string& path) const;
};

DataSet generateDataSet();

}  // namespace datagen
