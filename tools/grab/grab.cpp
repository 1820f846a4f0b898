// velmora-grab: writes a PNG screenshot of the X window with a given title, or
// of the whole screen, so headless runs and end-to-end tests can see the scene.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

Window findWindow(Display* display, Window root, const char* title) {
  char* name = nullptr;
  if (XFetchName(display, root, &name) && name) {
    const bool match = std::strcmp(name, title) == 0;
    XFree(name);
    if (match) return root;
  }
  Window parent, rootReturn;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = findWindow(display, children[i], title);
  if (children) XFree(children);
  return found;
}

bool writePng(const char* path, int width, int height, const std::vector<unsigned char>& rgb) {
  FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
    return false;
  }
  png_init_io(png, out);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) png_write_row(png, rgb.data() + static_cast<size_t>(y) * width * 3);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: velmora-grab OUTPUT.png [WINDOW-TITLE]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "velmora-grab: cannot open display\n");
    return 1;
  }
  Window root = DefaultRootWindow(display);
  Window target = argc == 3 ? findWindow(display, root, argv[2]) : root;
  if (!target) {
    std::fprintf(stderr, "velmora-grab: no window titled \"%s\"\n", argv[2]);
    return 1;
  }
  XWindowAttributes attributes;
  XGetWindowAttributes(display, target, &attributes);
  XImage* image = XGetImage(display, target, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (!image) {
    std::fprintf(stderr, "velmora-grab: cannot read the window's pixels\n");
    return 1;
  }
  std::vector<unsigned char> rgb(static_cast<size_t>(image->width) * image->height * 3);
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      unsigned char* out = &rgb[(static_cast<size_t>(y) * image->width + x) * 3];
      out[0] = static_cast<unsigned char>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
      out[1] = static_cast<unsigned char>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
      out[2] = static_cast<unsigned char>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
    }
  }
  const bool ok = writePng(argv[1], image->width, image->height, rgb);
  XDestroyImage(image);
  XCloseDisplay(display);
  if (!ok) {
    std::fprintf(stderr, "velmora-grab: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
