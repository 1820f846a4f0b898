// velmora-inspect --picture: the views a model's picture holds and how each is drawn.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"

enum class ViewName { FRONT, SIDE, TOP, ISO };

struct PictureOptions {
  std::string output;  // the PNG file; empty: no picture, the text report only
  std::vector<ViewName> views = {ViewName::FRONT, ViewName::SIDE, ViewName::TOP, ViewName::ISO};
  int turntable = 0;  // N > 0: N views round the vertical axis in place of `views`
  int width = 400;    // of each view, in pixels
  int height = 300;
  bool zUp = false;    // the model's z axis is up (else its y axis)
  bool ortho = false;  // orthographic cameras (else perspective)
  bool faces = false;  // back faces in their own colour
  bool normals = false;
  // Options given that mean something only with --picture, and whether --views was one.
  std::vector<std::string> pictureOnly;
  bool viewsGiven = false;
};

// The largest picture, in pixels each way, and the view sizes allowed.
constexpr int PICTURE_MAX_SIDE = 8192;
constexpr int VIEW_MIN_SIDE = 64;
constexpr int VIEW_MAX_SIDE = 4096;
constexpr int TURNTABLE_MAX = 36;

// Adds --picture, --views, --size, --up, --ortho, --turntable, --faces and
// --normals to `line`, each storing into `options`.
void addPictureOptions(CommandLine& line, PictureOptions* options);

// What is wrong with the options once the whole line is read, given the file
// operands, as the reason for CommandLine::refuse; "" when nothing is.
std::string pictureMistake(const PictureOptions& options, const std::vector<std::string>& files);

// "front,side,top,iso" in any order and subset; false for an empty list or an
// unknown name.
bool parseViewList(const std::string& text, std::vector<ViewName>* views);
