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

class CulledDrawing : public ObjectDrawing {
 public:
  void drawObject(const SceneObject& object) override {
    const bool selection = selecting();
    const bool mayLeaveOut =
        object.leaveOut == LeaveOut::WHEN_HIDDEN || (object.leaveOut == LeaveOut::WHEN_SELECTING && selection);
    if (mayLeaveOut && !boxCanShow(object.bounds.min, object.bounds.max)) {
      if (object.whenLeftOut != nullptr) object.whenLeftOut(object);
      return;
    }
    if (!selection) {
      object.draw(object);
    } else if (object.drawForSelection != nullptr) {
      object.drawForSelection(object);
    } else {
      drawRecorded(object);
    }
  }

  void drawGroundCells() override { ground_.draw(); }

 private:
  GLuint scratchList_ = 0;
  CulledGround ground_;

  // Runs the object's `draw` into a scratch display list, then calls the list:
  // the same primitives and state changes, without immediate mode at selection time.
  void drawRecorded(const SceneObject& object) {
    if (scratchList_ == 0) scratchList_ = glGenLists(1);
    glNewList(scratchList_, GL_COMPILE);
    object.draw(object);
    glEndList();
    glCallList(scratchList_);
  }
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
