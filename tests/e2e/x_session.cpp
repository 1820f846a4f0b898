// The X side of the end-to-end tests.
#include "tests/e2e/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>

namespace e2etest {

bool XvfbServer::start(int width, int height, std::string* error) {
  // Xvfb picks the first free display itself and writes its number to this
  // pipe once it listens: no guessing, no race with other servers.
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    *error = "cannot make a pipe for Xvfb";
    return false;
  }
  ProcessSpec launch;
  launch.argv = {"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
               std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp", "-noreset"};
  launch.passFd = pipeFds[1];
  const bool started = server_.start(launch, error);
  close(pipeFds[1]);
  if (!started) {
    close(pipeFds[0]);
    return false;
  }
  std::string number;
  pollfd reader{pipeFds[0], POLLIN, 0};
  while (number.find('\n') == std::string::npos && poll(&reader, 1, 15000) > 0) {
    char buffer[16];
    const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    number.append(buffer, static_cast<size_t>(got));
  }
  close(pipeFds[0]);
  if (number.find('\n') == std::string::npos) {
    *error = "Xvfb did not report a display number: " + server_.output();
    server_.stop();
    return false;
  }
  display_ = ":" + number.substr(0, number.find('\n'));
  return true;
}

XScreen::~XScreen() { close(); }

void XScreen::close() {
  if (display_) XCloseDisplay(display_);
  display_ = nullptr;
}

bool XScreen::open(const std::string& displayName) {
  display_ = XOpenDisplay(displayName.c_str());
  return display_ != nullptr;
}

RgbImage XScreen::grab(int x, int y, int width, int height) {
  RgbImage result(width, height);
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return RgbImage();
  const bool direct = image->bits_per_pixel == 32 && image->red_mask == 0xff0000 && image->green_mask == 0xff00 &&
                      image->blue_mask == 0xff && image->byte_order == LSBFirst;
  for (int row = 0; row < height; ++row) {
    unsigned char* out = result.at(0, row);
    if (direct) {
      // Xvfb's 24-bit visual: one little-endian word per pixel, blue in the lowest byte.
      const unsigned char* in = reinterpret_cast<const unsigned char*>(image->data) + row * image->bytes_per_line;
      for (int column = 0; column < width; ++column, in += 4, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
    } else {
      for (int column = 0; column < width; ++column, out += 3) {
        const unsigned long pixel = XGetPixel(image, column, row);
        out[0] = static_cast<unsigned char>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
        out[1] = static_cast<unsigned char>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
        out[2] = static_cast<unsigned char>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
      }
    }
  }
  XDestroyImage(image);
  return result;
}

std::vector<WindowBox> XScreen::viewableWindows(const std::string& name) {
  std::vector<WindowBox> found;
  Window root = DefaultRootWindow(display_), parent, rootReturn;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display_, root, &rootReturn, &parent, &children, &count)) return found;
  for (unsigned i = 0; i < count; ++i) {
    char* windowName = nullptr;
    if (!XFetchName(display_, children[i], &windowName) || !windowName) continue;
    const bool match = name == windowName;
    XFree(windowName);
    XWindowAttributes attributes;
    if (!match || !XGetWindowAttributes(display_, children[i], &attributes)) continue;
    if (attributes.map_state != IsViewable) continue;
    found.push_back({children[i], attributes.x, attributes.y, attributes.width, attributes.height});
  }
  if (children) XFree(children);
  return found;
}

namespace {
bool badWindowSeen = false;
int noteBadWindow(Display*, XErrorEvent* event) {
  if (event->error_code == BadWindow) badWindowSeen = true;
  return 0;
}
}  // namespace

bool XScreen::exists(Window window) {
  XSync(display_, False);
  badWindowSeen = false;
  XErrorHandler previous = XSetErrorHandler(noteBadWindow);
  XWindowAttributes attributes;
  const Status status = XGetWindowAttributes(display_, window, &attributes);
  XSync(display_, False);
  XSetErrorHandler(previous);
  return status != 0 && !badWindowSeen;
}

bool XScreen::requestClose(Window window) {
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display_, window, False, NoEventMask, &event);
  XFlush(display_);
  return sent != 0;
}

bool xdotool(const std::string& displayName, const std::vector<std::string>& args, std::string* error) {
  ProcessSpec launch;
  launch.argv = {"xdotool"};
  launch.argv.insert(launch.argv.end(), args.begin(), args.end());
  launch.setEnv = {{"DISPLAY", displayName}};
  const RunResult result = runProcess(launch, 10);
  if (result.finished && result.exitStatus == 0) return true;
  if (error) *error = "xdotool failed (status " + std::to_string(result.exitStatus) + "): " + result.output;
  return false;
}

}  // namespace e2etest
