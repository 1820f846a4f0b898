// A 1 x 1 window that is never mapped is enough for a current GLX context.
#include "benchmark/velmora_bench/load_gl_context.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

LoadGlContext::LoadGlContext() {
  if (glXGetCurrentContext() != nullptr) {
    ready_ = true;
    return;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return;
  int attributes[] = {GLX_RGBA, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 16, None};
  XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
  if (visual == nullptr) {
    XCloseDisplay(display);
    return;
  }
  Window root = RootWindow(display, visual->screen);
  XSetWindowAttributes windowAttributes = {};
  windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
  Window window = XCreateWindow(display, root, 0, 0, 1, 1, 0, visual->depth, InputOutput, visual->visual,
                                CWColormap, &windowAttributes);
  GLXContext context = glXCreateContext(display, visual, nullptr, True);
  XFree(visual);
  if (context == nullptr || !glXMakeCurrent(display, window, context)) {
    if (context != nullptr) glXDestroyContext(display, context);
    XDestroyWindow(display, window);
    XFreeColormap(display, windowAttributes.colormap);
    XCloseDisplay(display);
    return;
  }
  display_ = display;
  window_ = window;
  colormap_ = windowAttributes.colormap;
  context_ = context;
  ready_ = true;
}

LoadGlContext::~LoadGlContext() {
  if (display_ == nullptr) return;
  Display* display = static_cast<Display*>(display_);
  glXMakeCurrent(display, None, nullptr);
  glXDestroyContext(display, static_cast<GLXContext>(context_));
  XDestroyWindow(display, window_);
  XFreeColormap(display, colormap_);
  XCloseDisplay(display);
}
