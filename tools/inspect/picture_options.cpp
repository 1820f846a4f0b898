// velmora-inspect's picture options.
#include "tools/inspect/picture_options.h"

#include "support/printable_text.h"
#include "tools/inspect/picture_layout.h"

namespace {

bool endsWithObj(const std::string& path) {
  return path.size() >= 4 &&
         (path.compare(path.size() - 4, 4, ".obj") == 0 || path.compare(path.size() - 4, 4, ".OBJ") == 0);
}

}  // namespace

bool parseViewList(const std::string& text, std::vector<ViewName>* views) {
  static const struct {
    const char* name;
    ViewName view;
  } NAMES[] = {{"front", ViewName::FRONT}, {"side", ViewName::SIDE}, {"top", ViewName::TOP}, {"iso", ViewName::ISO}};
  std::vector<ViewName> result;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    const std::string name = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    bool known = false;
    for (const auto& entry : NAMES) {
      if (name == entry.name) {
        result.push_back(entry.view);
        known = true;
      }
    }
    if (!known) return false;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  *views = result;
  return true;
}

void addPictureOptions(CommandLine& line, PictureOptions* options) {
  line.option("--picture", [options](const std::string& value) -> std::string {
    if (value.empty()) return "takes a file name";
    options->output = value;
    return "";
  });
  auto pictureOnly = [options](const char* name) { options->pictureOnly.push_back(name); };
  line.option("--views", [options, pictureOnly](const std::string& value) -> std::string {
    if (!parseViewList(value, &options->views)) return "takes a list of front, side, top and iso";
    options->viewsGiven = true;
    pictureOnly("--views");
    return "";
  });
  line.option("--size", [options, pictureOnly](const std::string& value) -> std::string {
    if (!parseSize(value, VIEW_MIN_SIDE, VIEW_MAX_SIDE, &options->width, &options->height))
      return "takes WxH, each " + std::to_string(VIEW_MIN_SIDE) + ".." + std::to_string(VIEW_MAX_SIDE);
    pictureOnly("--size");
    return "";
  });
  line.option("--up", [options, pictureOnly](const std::string& value) -> std::string {
    if (value != "y" && value != "z") return "takes y or z";
    options->zUp = value == "z";
    pictureOnly("--up");
    return "";
  });
  const ValueCheck count = countInto(&options->turntable, 1, TURNTABLE_MAX, "a number of views");
  line.option("--turntable", [count, pictureOnly](const std::string& value) -> std::string {
    const std::string takes = count(value);
    if (takes.empty()) pictureOnly("--turntable");
    return takes;
  });
  const struct {
    const char* name;
    bool* flag;
  } FLAGS[] = {{"--ortho", &options->ortho}, {"--faces", &options->faces}, {"--normals", &options->normals}};
  for (const auto& entry : FLAGS) {
    bool* flag = entry.flag;
    const char* name = entry.name;
    line.flag(name, [flag, name, pictureOnly] {
      *flag = true;
      pictureOnly(name);
    });
  }
}

std::string pictureMistake(const PictureOptions& options, const std::vector<std::string>& files) {
  if (options.output.empty()) {
    if (!options.pictureOnly.empty()) return options.pictureOnly.front() + " needs --picture";
    return "";
  }
  if (options.viewsGiven && options.turntable > 0) return "--views and --turntable exclude each other";
  if (files.size() != 1) return "--picture draws one model; " + std::to_string(files.size()) + " files given";
  if (!endsWithObj(files[0])) return "--picture draws a model (.obj file), not \"" + printableText(files[0]) + "\"";
  const SheetLayout layout =
      layoutSheet(options.turntable > 0 ? options.turntable : static_cast<int>(options.views.size()), options.width,
                  options.height);
  if (layout.width > PICTURE_MAX_SIDE || layout.height > PICTURE_MAX_SIDE)
    return "the picture would be " + std::to_string(layout.width) + "x" + std::to_string(layout.height) +
           " pixels, more than " + std::to_string(PICTURE_MAX_SIDE) + " each way; give a smaller --size";
  return "";
}
