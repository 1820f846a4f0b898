// The one door between the scene's objects and the machinery that makes the
// frame fast: each object describes itself once (how it is drawn, its bounds,
// its selection-mode variant) and is drawn through drawObject; the ground's
// cells go through drawGroundCells. What happens behind the door is the
// drawing in use: the program's culled one, which leaves out what can give
// neither a fragment nor a hit and works around the driver in selection mode,
// or one that the tests and the benchmark put in its place to compare with.
//
// The words of the culling, in every file behind this door:
//   cell    one 0.18 x 0.18 square of the ground's 500 x 500 grid, which shows
//           the ground's picture once; the grid draws it as one quad of its
//           column's quad strip.
//   tile    4 x 4 cells, 125 x 125 of them: the smallest square anything is
//           decided for (whether it can show; whether it is drawn as a piece).
//   square  an aligned square of 100, 20 or 4 cells a side (a tile is the
//           smallest), each split into 5 x 5 of the next size: the view test
//           and the planner go from the largest down.
//   piece   a square drawn as a fan round its centre or as two triangles,
//           because its light lets it look as its cells do.
//   run     neighbouring cells of one column that can show, sent as a
//           stretch of that column's quad strip.
#pragma once

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

struct SceneObject;

// One way of drawing an object; it is given the object it draws.
using DrawFunction = void (*)(const SceneObject& object);

// What the frame needs to know of an object to draw it as fast as it can.
// Plain functions and values: drawing one allocates nothing.
struct SceneObject {
  // The object as written. It leaves the modelview as it found it.
  DrawFunction draw;
  // Around everything it draws.
  ObjectBounds bounds;
  LeaveOut leaveOut;
  // What a selection pass sends instead: Mesa 22 keeps memory for every
  // immediate-mode batch a selection pass is given after a rendered frame;
  // display lists and vertex arrays cost nothing. Null: `draw` is recorded
  // into a display list first.
  DrawFunction drawForSelection;
  // What a pass that leaves it out must still do; may be null.
  DrawFunction whenLeftOut;
  // The display list an object read from a model file is drawn from; 0 for the others.
  unsigned list;
  // Which part of the scene it is, for figures that split the frame by part.
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
