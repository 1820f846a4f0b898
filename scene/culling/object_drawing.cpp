// The door between the objects and the culling, and the culled drawing itself.
#include "scene/culling/object_drawing.h"

#include <GL/gl.h>

#include "scene/culling/culled_ground.h"
#include "scene/culling/view_cull.h"

namespace {

bool selecting() {
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_SELECT;
}

// Runs `draw` into a scratch display list, then calls the list: the same
// primitives and state changes, without immediate mode at selection time.
void drawRecorded(const std::function<void()>& draw) {
  static GLuint list = 0;
  if (list == 0) list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  draw();
  glEndList();
  glCallList(list);
}

class CulledDrawing : public ObjectDrawing {
 public:
  void drawObject(const SceneObject& object) override {
    const bool selection = selecting();
    const bool mayLeaveOut =
        object.leaveOut == LeaveOut::WHEN_HIDDEN || (object.leaveOut == LeaveOut::WHEN_SELECTING && selection);
    if (mayLeaveOut && !boxCanShow(object.bounds.min, object.bounds.max)) {
      if (object.whenLeftOut) object.whenLeftOut();
      return;
    }
    if (!selection) {
      object.draw();
    } else if (object.drawForSelection) {
      object.drawForSelection();
    } else {
      drawRecorded(object.draw);
    }
  }

  void drawGroundCells() override { drawCulledGroundCells(); }
};

CulledDrawing culled;
ObjectDrawing* inUse = &culled;

}  // namespace

void drawObject(const SceneObject& object) { inUse->drawObject(object); }

void drawGroundCells() { inUse->drawGroundCells(); }

ObjectDrawing& culledDrawing() { return culled; }

ObjectDrawing& objectDrawing() { return *inUse; }

ObjectDrawing* setObjectDrawing(ObjectDrawing* drawing) {
  ObjectDrawing* const before = inUse;
  inUse = drawing != nullptr ? drawing : &culled;
  return before;
}
