// PNG previews of the generated pictures and of how the scene joins them.
#include "datagen/picture_previews.h"

#include <filesystem>

#include "datagen/cactus_pictures.h"
#include "datagen/png_writer.h"

namespace datagen {

namespace {

std::string flatName(std::string path) {
  for (char& ch : path) {
    if (ch == '/') ch = '_';
  }
  return path.substr(0, path.rfind('.')) + ".png";
}

Image8 toPreview(const Raster& r) { return r.toImage8(3, false); }

// The four walls in panorama order: pos_z, pos_x, neg_z, neg_x, each s = 1 edge meeting
// the next wall's s = 0 edge.
Raster panorama(const DataSet& set, int wallWidth, int wallHeight) {
  const char* order[] = {"skybox/pos_z.bmp", "skybox/pos_x.bmp", "skybox/neg_z.bmp", "skybox/neg_x.bmp"};
  Raster out(4 * wallWidth, wallHeight);
  for (int w = 0; w < 4; ++w) {
    Raster wall = resized(toRaster(set.picture(order[w])), wallWidth, wallHeight, false);
    for (int y = 0; y < wallHeight; ++y) {
      for (int x = 0; x < wallWidth; ++x) out.at(w * wallWidth + x, y) = wall.at(x, y);
    }
  }
  return out;
}

// The box unfolded round its top: the top face in the middle (s right, t up), each
// wall folded down from the top edge it meets.
Raster unfoldedBox(const DataSet& set, int side, int wallHeight) {
  Raster top = toRaster(set.picture("skybox/pos_y.bmp"));
  Raster posZ = toRaster(set.picture("skybox/pos_z.bmp")), negZ = toRaster(set.picture("skybox/neg_z.bmp"));
  Raster posX = toRaster(set.picture("skybox/pos_x.bmp")), negX = toRaster(set.picture("skybox/neg_x.bmp"));
  const int size = side + 2 * wallHeight;
  Raster out(size, size, Color{0.1, 0.1, 0.1, 1});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double a = (x + 0.5 - wallHeight) / side, b = (y + 0.5 - wallHeight) / side;  // top's (s, t)
      double outX = x < wallHeight ? (wallHeight - x - 0.5) / wallHeight
                                   : (x >= wallHeight + side ? (x + 0.5 - wallHeight - side) / wallHeight : -1);
      double outY = y < wallHeight ? (wallHeight - y - 0.5) / wallHeight
                                   : (y >= wallHeight + side ? (y + 0.5 - wallHeight - side) / wallHeight : -1);
      bool inA = a >= 0 && a < 1, inB = b >= 0 && b < 1;
      if (inA && inB) {
        out.at(x, y) = top.sample(a, b, true);
      } else if (inB && outX >= 0 && x >= wallHeight + side) {
        out.at(x, y) = posZ.sample(b, 1 - outX, false);  // z = +45 edge, s = t'
      } else if (inB && outX >= 0) {
        out.at(x, y) = negZ.sample(1 - b, 1 - outX, false);  // z = -45 edge
      } else if (inA && outY >= 0 && y < wallHeight) {
        out.at(x, y) = negX.sample(a, 1 - outY, false);  // x = +45 edge, s = s'
      } else if (inA && outY >= 0) {
        out.at(x, y) = posX.sample(1 - a, 1 - outY, false);  // x = -45 edge
      }
    }
  }
  return out;
}

// Native-size views of the four wall corners: the last `span` columns of each wall
// beside the first `span` of the next, in a 2 x 2 grid.
Raster wallCorners(const DataSet& set, int span) {
  const char* order[] = {"skybox/pos_z.bmp", "skybox/pos_x.bmp", "skybox/neg_z.bmp", "skybox/neg_x.bmp"};
  const int gap = 6, height = set.picture(order[0]).height;
  Raster out(2 * (2 * span + gap), 2 * (height + gap), Color{0.1, 0.1, 0.1, 1});
  for (int c = 0; c < 4; ++c) {
    Raster left = toRaster(set.picture(order[c])), right = toRaster(set.picture(order[(c + 1) % 4]));
    int ox = (c % 2) * (2 * span + gap), oy = (1 - c / 2) * (height + gap);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < span; ++x) {
        out.at(ox + x, oy + y) = left.at(left.width() - span + x, y);
        out.at(ox + span + x, oy + y) = right.at(x, y);
      }
    }
  }
  return out;
}

// cells x cells ground cells as the ground maps them: s falls from 1 to 0 across each
// cell along +x, t runs 0 -> 1 on even rows and 1 -> 0 on odd rows along +z (up here).
Raster groundPatch(const DataSet& set, int cells, int cellPixels) {
  Raster tile = toRaster(set.picture("skybox/neg_y.bmp"));
  Raster out(cells * cellPixels, cells * cellPixels);
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      int row = y / cellPixels;
      double fx = (x % cellPixels + 0.5) / cellPixels, fz = (y % cellPixels + 0.5) / cellPixels;
      double s = 1 - fx, t = row % 2 == 0 ? fz : 1 - fz;
      out.at(x, y) = tile.sample(s, t, true);
    }
  }
  return out;
}

// All ten pictures at the board's proportions, 5 x 2.
Raster cactusSheet(const DataSet& set, int pictureHeight) {
  int pictureWidth = static_cast<int>(pictureHeight * BOARD_WIDTH / BOARD_HEIGHT);
  const int gap = 8;
  Raster out(5 * (pictureWidth + gap) + gap, 2 * (pictureHeight + gap) + gap, Color{0.3, 0.3, 0.32, 1});
  for (int k = 1; k <= CACTUS_PICTURE_COUNT; ++k) {
    Raster pic = resized(toRaster(set.picture("cactus" + std::to_string(k) + ".tga")), pictureWidth, pictureHeight, false);
    int col = (k - 1) % 5, row = 1 - (k - 1) / 5;
    for (int y = 0; y < pictureHeight; ++y) {
      for (int x = 0; x < pictureWidth; ++x) {
        out.at(gap + col * (pictureWidth + gap) + x, gap + row * (pictureHeight + gap) + y) = pic.at(x, y);
      }
    }
  }
  return out;
}

}  // namespace

int writePicturePreviews(const DataSet& set, const std::string& folder) {
  std::filesystem::create_directories(folder);
  int written = 0;
  auto put = [&](const std::string& name, const Image8& image) { written += writePng(folder + "/" + name, image) ? 1 : 0; };
  for (const NamedPicture& p : set.pictures) put(flatName(p.path), p.image);
  put("composite_sky_panorama.png", toPreview(panorama(set, 1024, 256)));
  put("composite_sky_panorama_small.png", toPreview(panorama(set, 512, 128)));
  put("composite_sky_unfolded.png", toPreview(unfoldedBox(set, 512, 128)));
  put("composite_sky_corners.png", toPreview(wallCorners(set, 192)));
  put("composite_ground_8x8.png", toPreview(groundPatch(set, 8, 128)));
  put("composite_ground_32x32.png", toPreview(groundPatch(set, 32, 32)));
  put("composite_cactus_sheet.png", toPreview(cactusSheet(set, 180)));
  for (int k = 1; k <= CACTUS_PICTURE_COUNT; ++k) {
    std::string name = "cactus" + std::to_string(k) + ".tga";
    put("board_cactus" + std::to_string(k) + ".png",
        toPreview(resized(toRaster(set.picture(name)), 366, 256, false)));
  }
  return written;
}

}  // namespace datagen
