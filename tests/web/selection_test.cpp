// The web GL layer's selection and primitive assembly, without a browser:
// clipping against the view volume, hit records as the GL writes them, and
// the triangles each polygon primitive becomes.
#include "web/gl/selection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "web/gl/primitives.h"

namespace {

using webgl::ClipVertex;

struct ClipCase {
  const char* name;
  ClipVertex a, b, c;
  bool hit;
  float minDepth, maxDepth;  // window depths of what is left
};

TEST(WebSelection, TrianglesAreClippedToTheViewVolume) {
  const ClipCase cases[] = {
      {"inside", {-0.5f, -0.5f, 0, 1}, {0.5f, -0.5f, 0, 1}, {0, 0.5f, 0.5f, 1}, true, 0.5f, 0.75f},
      {"right of the volume", {2, 0, 0, 1}, {3, 0, 0, 1}, {2, 1, 0, 1}, false, 0, 0},
      {"behind the eye (w < 0 beyond the near plane)", {0, 0, 2, -1}, {0.1f, 0, 2, -1}, {0, 0.1f, 2, -1}, false, 0, 0},
      // All corners outside, but the triangle spans the volume: still a hit.
      {"corners outside, covers the centre", {-5, -5, 0, 1}, {5, -5, 0, 1}, {0, 5, 0, 1}, true, 0.5f, 0.5f},
      // Half beyond the far plane: only the part inside counts for the depth.
      {"through the far plane", {0, 0, 0, 1}, {0.1f, 0, 3, 1}, {0, 0.1f, 3, 1}, true, 0.5f, 1.0f},
      // No area, yet the GL reports it: the ground's runs rely on that being counted alike.
      {"no area, inside", {0, 0, 0, 1}, {0, 0, 0, 1}, {0.5f, 0.5f, 0, 1}, true, 0.5f, 0.5f},
      {"on the edge x = w", {1, 0, 0, 1}, {1, 0.5f, 0, 1}, {2, 0, 0, 1}, true, 0.5f, 0.5f},
  };
  for (const ClipCase& c : cases) {
    float low = -1, high = -1;
    EXPECT_EQ(webgl::clipTriangle(c.a, c.b, c.c, &low, &high), c.hit) << c.name;
    if (c.hit) {
      EXPECT_NEAR(low, c.minDepth, 1e-5) << c.name;
      EXPECT_NEAR(high, c.maxDepth, 1e-5) << c.name;
    }
  }
}

// One selection pass: names pushed and loaded, hits in between.
struct Step {
  enum Kind { PUSH, LOAD, POP, HIT } kind;
  std::uint32_t name;
  float low, high;
};

struct RecordCase {
  const char* name;
  std::vector<Step> steps;
  int size;                             // of the buffer, in words
  int expectedCount;                    // what glRenderMode(GL_RENDER) returns
  std::vector<std::uint32_t> expected;  // the buffer's first words
};

TEST(WebSelection, HitRecordsAreWrittenWhenTheNamesChange) {
  const std::uint32_t top = 4294967295u;
  const RecordCase cases[] = {
      {"the program's pick: names 0, 2, 1 with hits under 0 and 1",
       {{Step::PUSH, 0, 0, 0},
        {Step::HIT, 0, 0.25f, 0.5f},
        {Step::LOAD, 2, 0, 0},
        {Step::LOAD, 1, 0, 0},
        {Step::HIT, 0, 0.5f, 0.75f},
        {Step::HIT, 0, 1.0f, 1.0f}},
       64,
       2,
       {1, top / 4, top / 2, 0, 1, top / 2, top, 1}},
      {"no hit, no record", {{Step::PUSH, 0, 0, 0}, {Step::LOAD, 1, 0, 0}}, 64, 0, {}},
      {"a nested name: the record holds the whole stack",
       {{Step::PUSH, 7, 0, 0}, {Step::PUSH, 8, 0, 0}, {Step::HIT, 0, 0, 0}, {Step::POP, 0, 0, 0}},
       64,
       1,
       {2, 0, 0, 7, 8}},
      {"a record that does not fit: -1", {{Step::PUSH, 3, 0, 0}, {Step::HIT, 0, 0, 0}}, 3, -1, {1, 0, 0}},
  };
  for (const RecordCase& c : cases) {
    std::vector<std::uint32_t> buffer(static_cast<std::size_t>(c.size) + 4, 0xdeadbeef);
    webgl::Selection selection;
    selection.setBuffer(buffer.data(), c.size);
    selection.start();
    for (const Step& s : c.steps) {
      bool accepted = true;
      if (s.kind == Step::PUSH) accepted = selection.pushName(s.name);
      if (s.kind == Step::LOAD) accepted = selection.loadName(s.name);
      if (s.kind == Step::POP) accepted = selection.popName();
      if (s.kind == Step::HIT) selection.hit(s.low, s.high);
      ASSERT_TRUE(accepted) << c.name;
    }
    EXPECT_EQ(selection.finish(), c.expectedCount) << c.name;
    for (std::size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(buffer[i], c.expected[i]) << c.name << " word " << i;
    // Nothing is written past the buffer the program gave.
    EXPECT_EQ(buffer[static_cast<std::size_t>(c.size)], 0xdeadbeefu) << c.name;
  }
}

TEST(WebSelection, NameStackErrorsAreRefused) {
  webgl::Selection selection;
  std::uint32_t buffer[8];
  selection.setBuffer(buffer, 8);
  selection.start();
  EXPECT_FALSE(selection.loadName(1)) << "glLoadName on an empty stack";
  EXPECT_FALSE(selection.popName()) << "glPopName on an empty stack";
  for (int i = 0; i < webgl::Selection::MAX_NAME_DEPTH; ++i) ASSERT_TRUE(selection.pushName(1));
  EXPECT_FALSE(selection.pushName(1)) << "beyond the name stack's depth";
}

struct AssemblyCase {
  const char* name;
  unsigned mode;
  int count;
  std::vector<std::uint32_t> triangles;
};

TEST(WebPrimitives, PolygonPrimitivesBecomeTriangles) {
  const AssemblyCase cases[] = {
      {"GL_TRIANGLES, a trailing vertex dropped", 4, 7, {0, 1, 2, 3, 4, 5}},
      {"GL_TRIANGLE_STRIP keeps its winding", 5, 5, {0, 1, 2, 2, 1, 3, 2, 3, 4}},
      {"GL_TRIANGLE_FAN", 6, 5, {0, 1, 2, 0, 2, 3, 0, 3, 4}},
      {"GL_QUADS split on the first and third corners", 7, 8, {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}},
      {"GL_QUAD_STRIP split on each quad's first and fourth corners", 8, 6, {2, 0, 3, 0, 1, 3, 4, 2, 5, 2, 3, 5}},
      {"GL_POLYGON as a fan", 9, 5, {0, 1, 2, 0, 2, 3, 0, 3, 4}},
      {"a quad strip of three vertices draws nothing", 8, 3, {}},
  };
  for (const AssemblyCase& c : cases) {
    std::vector<std::uint32_t> out;
    webgl::triangulate(c.mode, c.count, out);
    EXPECT_EQ(out, c.triangles) << c.name;
  }
  for (unsigned lines = 0; lines < 4; ++lines) EXPECT_FALSE(webgl::isPolygonPrimitive(lines)) << "points and lines";
}

}  // namespace
