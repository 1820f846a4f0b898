// Every object of the frame says which part of the scene it is, so that
// figures split by part (the benchmark's) leave none of it out.
#include <gtest/gtest.h>

#include <map>

#include "scene/culling/object_drawing.h"
#include "scene/frame.h"
#include "tests/app/scene_fixture.h"

namespace {

// The culled drawing, counting the objects it is given by kind.
class CountingDrawing : public ObjectDrawing {
 public:
  std::map<ObjectKind, int> objects;
  int groundPasses = 0;
  void drawObject(const SceneObject& object) override {
    ++objects[object.kind];
    culledDrawing().drawObject(object);
  }
  void drawGroundCells() override {
    ++groundPasses;
    culledDrawing().drawGroundCells();
  }
};

class ObjectKinds : public apptest::SceneTest {};

TEST_F(ObjectKinds, EveryObjectOfTheFrameBelongsToOnePart) {
  CountingDrawing counting;
  ObjectDrawing* const before = setObjectDrawing(&counting);
  drawFrame();
  setObjectDrawing(before);
  const std::map<ObjectKind, int> expected = {{ObjectKind::SIGNBOARD, 1},
                                              {ObjectKind::KART, 3},
                                              {ObjectKind::GRASS, 4},
                                              {ObjectKind::BENCH, 2},
                                              {ObjectKind::SKY_BOX, 1}};
  EXPECT_EQ(counting.objects, expected) << "an object of kind OTHER, or one missing";
  EXPECT_EQ(counting.groundPasses, 1);
}

}  // namespace
