// Selection mode on the CPU: primitives in clip coordinates are clipped to the
// view volume as the GL clips them, and what is left sets the hit flag and the
// depth range of the current name group; hit records are written into the
// program's buffer exactly where and when the GL writes them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace webgl {

using ClipVertex = std::array<float, 4>;  // x, y, z, w

// Clips the triangle (a, b, c) to -w <= x, y, z <= w. Returns false when
// nothing of it is left; otherwise the window depths (0 .. 1) of what is left.
bool clipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, float* minDepth, float* maxDepth);

// The name stack, the hit flag and the selection buffer.
class Selection {
 public:
  static constexpr int MAX_NAME_DEPTH = 64;

  void setBuffer(std::uint32_t* buffer, int size);
  // Entering selection mode: an empty buffer, no hit, an empty name stack.
  void start();
  // Leaving it: the pending record is written; the number of records, or -1
  // when they did not fit.
  int finish();

  // A primitive reached the pick volume with these window depths.
  void hit(float minDepth, float maxDepth);

  // The name-stack calls; each writes the pending record first. They return
  // false for the GL's errors (overflow, underflow, no name to replace).
  void initNames();
  bool loadName(std::uint32_t name);
  bool pushName(std::uint32_t name);
  bool popName();
  int depth() const { return static_cast<int>(names_.size()); }

 private:
  void writeRecord();
  void write(std::uint32_t value);

  std::uint32_t* buffer_ = nullptr;
  int size_ = 0;
  int count_ = 0;
  int hits_ = 0;
  bool hitFlag_ = false;
  float minDepth_ = 1, maxDepth_ = 0;
  std::vector<std::uint32_t> names_;
};

}  // namespace webgl
