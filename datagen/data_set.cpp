// Everything the generator makes, in the order it is written.
#include "datagen/data_set.h"

#include <stdexcept>

#include "datagen/bmp_writer.h"
#include "datagen/cactus_pictures.h"
#include "datagen/file_store.h"
#include "datagen/grass_model.h"
#include "datagen/kart_model.h"
#include "datagen/obj_writer.h"
#include "datagen/sky_pictures.h"
#include "datagen/surface_pictures.h"
#include "datagen/tga_writer.h"

namespace datagen {

namespace {

std::string sizeText(const Image8& image) {
  return std::to_string(image.width) + "x" + std::to_string(image.height);
}

void addBmp(DataSet& set, const std::string& path, const Raster& raster, uint32_t ditherSeed) {
  Image8 image = raster.toImage8(3, true, ditherSeed);
  set.files.push_back({path, encodeBmp(image), "BMP 24-bit " + sizeText(image)});
  set.pictures.push_back({path, std::move(image)});
}

void addTga(DataSet& set, const std::string& path, const Image8& image, const TgaOptions& options) {
  std::string format = std::string("TGA type ") + (options.runLength ? "10 (RLE)" : "2") + ", " +
                       std::to_string(options.bitsPerPixel) + "-bit, " +
                       (options.topRowFirst ? "top row first" : "bottom row first") +
                       (options.imageId.empty() ? "" : ", image ID " + std::to_string(options.imageId.size()) + " bytes") +
                       ", " + sizeText(image);
  set.files.push_back({path, encodeTga(image, options), format});
  set.pictures.push_back({path, image});
}

void addModel(DataSet& set, const std::string& folder, const std::string& objName, const std::string& mtlName,
              const Mesh& mesh, const std::vector<std::string>& comments) {
  set.files.push_back({folder + objName, toBytes(writeObj(mesh, mtlName, comments)),
                       "OBJ " + std::to_string(mesh.triangleCount()) + " triangles, " +
                           std::to_string(mesh.groups.size()) + " groups"});
  set.files.push_back({folder + mtlName, toBytes(writeMtl(mesh, comments)),
                       "MTL " + std::to_string(mesh.materials.size()) + " materials"});
}

}  // namespace

const Image8& DataSet::picture(const std::string& path) const {
  for (const NamedPicture& p : pictures) {
    if (p.path == path) return p.image;
  }
  throw std::out_of_range("no picture " + path);
}

DataSet generateDataSet() {
  DataSet set;
  SkyBoxPictures sky = makeSkyBox();
  addBmp(set, "skybox/pos_z.bmp", sky.posZ, 0x100u);
  addBmp(set, "skybox/neg_z.bmp", sky.negZ, 0x101u);
  addBmp(set, "skybox/pos_x.bmp", sky.posX, 0x102u);
  addBmp(set, "skybox/neg_x.bmp", sky.negX, 0x103u);
  addBmp(set, "skybox/pos_y.bmp", sky.top, 0x104u);
  addBmp(set, "skybox/neg_y.bmp", makeGroundTile(), 0x105u);
  addBmp(set, "wood1.bmp", makeWood(), 0x106u);
  addBmp(set, "concrete.bmp", makeConcrete(), 0x107u);
  for (int k = 1; k <= CACTUS_PICTURE_COUNT; ++k) {
    TgaOptions options = cactusEncoding(k);
    // Flat colours and no dither: the run-length files find long runs.
    Image8 image = makeCactusPicture(k).toImage8(options.bitsPerPixel / 8, false);
    addTga(set, "cactus" + std::to_string(k) + ".tga", image, options);
  }

  set.kart = makeKartMesh();
  addModel(set, "models/go-carts/", "GO-CART-BLUE.obj", "GO-CART-BLUE.mtl", set.kart,
           {"Velmora go-kart: front towards -x, y up, wheels on y = 0.", "Made by velmora-datagen."});
  for (const KartTexture& t : makeKartTextures()) {
    if (t.tga) {
      addTga(set, "models/go-carts/" + t.file, t.image, TgaOptions{true, t.image.channels * 8, true, ""});
    } else {
      set.files.push_back({"models/go-carts/" + t.file, encodeBmp(t.image), "BMP 24-bit " + sizeText(t.image)});
      set.pictures.push_back({"models/go-carts/" + t.file, t.image});
    }
  }
  set.grass = makeGrassMesh();
  addModel(set, "models/grass/", "trava.obj", "trava.mtl", set.grass,
           {"Velmora grass tuft: blades rooted near the middle, y up.", "Made by velmora-datagen."});
  return set;
}

}  // namespace datagen
