// Offscreen shots of the scene through the program's own code: start-up minus
// the window, menus and main loop, the menu commands, the idle step and the frame.
#pragma once

#include "tools/shot/rgb_image.h"
#include "tools/shot/shot_options.h"

// Renders the shot that `options` describe into an offscreen framebuffer of
// options.width x options.height and returns it, shrunk by options.scale.
// Needs a current GL context. Every call starts from the scene as start-up
// leaves it (the scene textures are read from data/ on the first call only),
// so shots in one process do not depend on each other.
// Returns an empty picture with `error` set when the framebuffer cannot be made.
RgbImage renderShot(const ShotOptions& options, std::string* error = nullptr);
