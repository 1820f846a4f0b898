// The one door between the scene's objects and the machinery that makes the
// frame fast: each object describes itself once (how it is drawn, its bounds,
// its selection-mode variant) and is drawn through drawObject; the ground's
// cells go through drawGroundCells. What happens behind the door is the
// drawing in use: the program's culled one, which leaves out what can give
// neither a fragment nor a hit and works around the driver in selection mode,
// or one that the tests and the benchmark put in its place to compare with.
#pragma once

#include <functional>

// A box in the space of the modelview an object is drawn under.
struct ObjectBounds {
  float min[3];
  float max[3];
};

// When a pass may leave an object out because nothing of it can show.
enum class LeaveOut {
  NEVER,           // it encloses the scene
  WHEN_SELECTING,  // a rendered frame keeps it: later objects use the state it leaves behind
  WHEN_HIDDEN,     // whenever it cannot show
};

// Which part of the scene an object is, for figures that split the frame by part.
enum class ObjectKind { OTHER, SKY_BOX, KART, GRASS, BENCH, SIGNBOARD };

// What the frame needs to know of an object to draw it as fast as it can.
struct SceneObject {
  // The object as written. It leaves the modelview as it found it.
  std::function<void()> draw;
  // Around everything it draws.
  ObjectBounds bounds;
  LeaveOut leaveOut;
  // What a selection pass sends instead: Mesa 22 keeps memory for every
  // immediate-mode batch a selection pass is given after a rendered frame;
  // display lists and vertex arrays cost nothing. Empty: `draw` is recorded
  // into a display list first.
  std::function<void()> drawForSelection;
  // What a pass that leaves it out must still do; may be empty.
  std::function<void()> whenLeftOut;
  ObjectKind kind = ObjectKind::OTHER;
};

// Draws `object` through the drawing in use.
void drawObject(const SceneObject& object);

// The ground's cells through the drawing in use: groundVertices() as quad
// strips, column by column, under the ground's material, normal and texture.
void drawGroundCells();

// A way of sending the objects to OpenGL.
class ObjectDrawing {
 public:
  virtual ~ObjectDrawing() = default;
  virtual void drawObject(const SceneObject& object) = 0;
  virtual void drawGroundCells() = 0;
};

// The program's drawing: leaves out what cannot show, draws the ground as
// coarse as its vertex lighting allows, and sends no immediate mode to a
// selection pass.
ObjectDrawing& culledDrawing();

// Puts `drawing` in use for every later pass; null puts the culled drawing
// back. Returns the drawing in use before.
ObjectDrawing* setObjectDrawing(ObjectDrawing* drawing);

// The drawing in use.
ObjectDrawing& objectDrawing();
