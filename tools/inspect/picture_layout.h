// Where things go in a model's picture, without OpenGL: the sheet of views,
// the camera of each view framed round the model, and the ground grid.
#pragma once

#include <string>
#include <vector>

#include "tools/inspect/picture_options.h"

// Views in rows and columns, each with a caption strip under it, and one line
// under them all.
struct SheetLayout {
  int columns = 0;
  int rows = 0;
  int viewWidth = 0;
  int viewHeight = 0;
  int width = 0;  // of the whole picture
  int height = 0;
};
constexpr int CAPTION_HEIGHT = 18;
constexpr int FOOTER_HEIGHT = 20;

// As square an arrangement as the count allows, filled row by row.
SheetLayout layoutSheet(int views, int viewWidth, int viewHeight);

// View `index`'s pixels: left column and top row (row 0 at the top of the picture).
struct ViewRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
ViewRect viewRect(const SheetLayout& layout, int index);

// Where a camera looks from: azimuth 0 on the -x side (where the scene takes a
// kart's front to be), 90 on the +z side; elevation above the ground, 90 straight down.
struct ViewAngles {
  std::string label;
  double azimuth = 0;
  double elevation = 0;
};
std::vector<ViewAngles> pictureViews(const PictureOptions& options);

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

struct ViewCamera {
  Vec3 eye, target, up;
  bool ortho = false;
  double fovy = 0;        // perspective: degrees
  double halfHeight = 0;  // orthographic: half the height of the view volume
  double aspect = 1;
  double nearPlane = 0, farPlane = 0;
};

// The share of a view that the model's larger projected extent fills.
constexpr double VIEW_FILL = 0.86;

// The camera for `view` that shows every point (x, y, z triples, y up) with
// the model's wider projected side filling VIEW_FILL of the view, centred.
// Points must be finite; none at all gives a camera round the origin.
ViewCamera frameView(const ViewAngles& view, const std::vector<float>& points, double aspect, bool ortho);

// A square grid of lines on the ground under the model, about its footprint.
struct GroundGrid {
  double level = 0;  // just under the lowest y of the model
  double centerX = 0, centerZ = 0;
  double step = 0;              // between lines, in the points' units
  int halfLines = 0;            // lines on either side of the centre
  double stepInModelUnits = 0;  // the step as the file measures it
};

// `modelUnits` is how long one unit of the points is in the file's units.
GroundGrid planGrid(const std::vector<float>& points, double modelUnits);

// 1, 2 or 5 times a power of ten, the largest not above `value` (> 0).
double roundStepDown(double value);

// A size for a caption: at most four significant digits, no trailing zeros.
std::string shortNumber(double value);
