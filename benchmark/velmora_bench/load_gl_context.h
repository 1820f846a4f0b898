// An OpenGL context for the loading measurements that create textures and
// display lists: the one already current (the frame section's window), or a
// hidden one of its own on the X display, released again afterwards.
#pragma once

class LoadGlContext {
 public:
  LoadGlContext();
  ~LoadGlContext();
  LoadGlContext(const LoadGlContext&) = delete;
  LoadGlContext& operator=(const LoadGlContext&) = delete;

  // False when no context was current and none could be made (no display).
  bool ready() const { return ready_; }

 private:
  bool ready_ = false;
  void* display_ = nullptr;  // only when this object made the context
  unsigned long window_ = 0;
  unsigned long colormap_ = 0;
  void* context_ = nullptr;
};
