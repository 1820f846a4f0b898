// A model's picture: its display list drawn offscreen from each view of the
// sheet, with a ground grid, two lights and captions.
#pragma once

#include <GL/gl.h>

#include <string>
#include <vector>

#include "glm/model.h"
#include "tools/inspect/picture_options.h"
#include "tools/shot/rgb_image.h"

// The colours a picture is made of, as 0..255 RGB, for whoever reads it back.
struct PictureColor {
  unsigned char r, g, b;
};
constexpr PictureColor PICTURE_BACKGROUND = {62, 64, 68};
constexpr PictureColor PICTURE_GRID = {92, 95, 101};
constexpr PictureColor PICTURE_CAPTION_BACKGROUND = {40, 41, 44};
constexpr PictureColor PICTURE_BACK_FACE = {230, 46, 150};
constexpr PictureColor PICTURE_NORMAL = {64, 220, 235};

// The material of a model, or of a part of one, that has none of its own (its
// library or its texture is missing): a light grey.
extern const float PICTURE_PLAIN_DIFFUSE[4];
extern const float PICTURE_PLAIN_AMBIENT[4];

// The corners of every triangle that has an area and finite corners, as x, y, z
// triples seen with y up (the model's z turned up when `zUp`); each vertex once.
std::vector<float> drawnPoints(const ObjModel& model, bool zUp);

// What the picture needs besides the options: the prepared model (fitted and
// given normals) and its display list, the file's name, the model's size in
// the file's units (wide, high, deep as the picture stands it up) and how
// long one unit of the prepared model is in them.
struct PictureModel {
  const ObjModel* model = nullptr;
  GLuint list = 0;
  std::string name;
  double size[3] = {0, 0, 0};
  double modelUnits = 1;
};

// Renders the sheet. Needs a current GL context; leaves the GL state as it
// found it. Returns an empty picture with `error` set when no framebuffer of
// the sheet's size can be made.
RgbImage renderPicture(const PictureModel& picture, const PictureOptions& options, std::string* error);
