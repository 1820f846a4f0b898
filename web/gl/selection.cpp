// Selection mode on the CPU.
#include "web/gl/selection.h"

#include <algorithm>

namespace webgl {

namespace {

// Signed distance of a vertex from clip plane `plane` (0..5: x <= w, x >= -w,
// y <= w, y >= -w, z <= w, z >= -w); inside when >= 0.
float planeDistance(const ClipVertex& v, int plane) {
  const float c = v[plane / 2];
  return plane % 2 == 0 ? v[3] - c : v[3] + c;
}

}  // namespace

bool clipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, float* minDepth, float* maxDepth) {
  // Sutherland-Hodgman in homogeneous coordinates: a triangle gains at most
  // one corner per plane.
  ClipVertex polygon[9] = {a, b, c};
  ClipVertex next[9];
  int count = 3;
  for (int plane = 0; plane < 6 && count > 0; ++plane) {
    bool allInside = true;
    for (int i = 0; i < count; ++i) allInside = allInside && planeDistance(polygon[i], plane) >= 0;
    if (allInside) continue;
    int out = 0;
    for (int i = 0; i < count; ++i) {
      const ClipVertex& p = polygon[i];
      const ClipVertex& q = polygon[(i + 1) % count];
      const float dp = planeDistance(p, plane), dq = planeDistance(q, plane);
      if (dp >= 0) next[out++] = p;
      if ((dp >= 0) != (dq >= 0)) {
        const float t = dp / (dp - dq);
        ClipVertex v;
        for (int k = 0; k < 4; ++k) v[k] = p[k] + t * (q[k] - p[k]);
        next[out++] = v;
      }
    }
    count = out;
    std::copy(next, next + count, polygon);
  }
  if (count == 0) return false;
  float low = 1, high = 0;
  for (int i = 0; i < count; ++i) {
    const float depth = std::clamp(polygon[i][2] / polygon[i][3] * 0.5f + 0.5f, 0.0f, 1.0f);
    low = std::min(low, depth);
    high = std::max(high, depth);
  }
  *minDepth = low;
  *maxDepth = high;
  return true;
}

void Selection::setBuffer(std::uint32_t* buffer, int size) {
  buffer_ = buffer;
  size_ = size;
}

void Selection::start() {
  count_ = 0;
  hits_ = 0;
  hitFlag_ = false;
  minDepth_ = 1;
  maxDepth_ = 0;
  names_.clear();
}

int Selection::finish() {
  if (hitFlag_) writeRecord();
  const int result = count_ > size_ ? -1 : hits_;
  start();
  return result;
}

void Selection::hit(float minDepth, float maxDepth) {
  hitFlag_ = true;
  minDepth_ = std::min(minDepth_, minDepth);
  maxDepth_ = std::max(maxDepth_, maxDepth);
}

void Selection::write(std::uint32_t value) {
  if (count_ < size_) buffer_[count_] = value;
  ++count_;
}

void Selection::writeRecord() {
  // Depths are scaled to the full range of an unsigned int, as the GL stores them.
  const auto scaled = [](float depth) {
    return static_cast<std::uint32_t>(std::min(4294967295.0, 4294967295.0 * static_cast<double>(depth)));
  };
  write(static_cast<std::uint32_t>(names_.size()));
  write(scaled(minDepth_));
  write(scaled(maxDepth_));
  for (std::uint32_t name : names_) write(name);
  ++hits_;
  hitFlag_ = false;
  minDepth_ = 1;
  maxDepth_ = 0;
}

void Selection::initNames() {
  if (hitFlag_) writeRecord();
  names_.clear();
  hitFlag_ = false;
  minDepth_ = 1;
  maxDepth_ = 0;
}

bool Selection::loadName(std::uint32_t name) {
  if (names_.empty()) return false;
  if (hitFlag_) writeRecord();
  names_.back() = name;
  return true;
}

bool Selection::pushName(std::uint32_t name) {
  if (hitFlag_) writeRecord();
  if (static_cast<int>(names_.size()) >= MAX_NAME_DEPTH) return false;
  names_.push_back(name);
  return true;
}

bool Selection::popName() {
  if (hitFlag_) writeRecord();
  if (names_.empty()) return false;
  names_.pop_back();
  return true;
}

}  // namespace webgl
