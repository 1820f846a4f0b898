// The straightforward drawing the culled one is held to.
#include "tests/reference/reference_drawing.h"

#include <GL/gl.h>

#include <vector>

#include "scene/ground.h"

namespace {

class ReferenceDrawing : public ObjectDrawing {
 public:
  void drawObject(const SceneObject& object) override { object.draw(object); }

  void drawGroundCells() override {
    const std::vector<float>& edges = groundEdges();
    for (int i = 0; i < GROUND_DIVISIONS; ++i) {
      const float left = edges[i];
      const float right = left + GROUND_STEP;
      glBegin(GL_QUAD_STRIP);
      for (int k = 0; k <= GROUND_DIVISIONS; ++k) {
        const float t = static_cast<float>(k % 2);
        glTexCoord2f(0, t);
        glVertex3f(right, 0, edges[k]);
        glTexCoord2f(1, t);
        glVertex3f(left, 0, edges[k]);
      }
      glEnd();
    }
  }
};

ReferenceDrawing reference;

}  // namespace

ObjectDrawing& referenceDrawing() { return reference; }

void setDrawPath(DrawPath path) {
  setObjectDrawing(path == DrawPath::Reference ? &referenceDrawing() : &culledDrawing());
}

DrawPath drawPath() { return &objectDrawing() == &referenceDrawing() ? DrawPath::Reference : DrawPath::Culled; }

void drawGroundImmediate() {
  ObjectDrawing* const before = setObjectDrawing(&referenceDrawing());
  drawGround();
  setObjectDrawing(before);
}
