// Object picking: a left click starts or stops the curve kart's lap when
// exactly one of the kart and the signboard is drawn under the cursor.
#pragma once

#include <GL/gl.h>

#include <vector>

constexpr int SELECT_BUFFER_SIZE = 64;

// One hit record as OpenGL writes it into the selection buffer: its name
// count, its depth minimum and maximum, then its names.
struct HitRecord {
  GLuint depthMin = 0;
  GLuint depthMax = 0;
  std::vector<GLuint> names;
};

// The first `hitCount` records of a selection buffer of `size` words. A
// negative count (an overflowed buffer) gives none; a record that runs past
// the buffer's end keeps the names within it.
std::vector<HitRecord> readHitRecords(const GLuint* buffer, int hitCount, int size = SELECT_BUFFER_SIZE);

// The verdict on a selection pass's hit records: true when exactly one of the
// signboard's and the curve kart's names is among them. A negative count
// gives false.
bool pickToggles(const GLuint* records, int hitCount);

// What one selection pass found: the count glRenderMode returned, the records,
// and the verdict on them.
struct PickHits {
  int count = 0;
  std::vector<HitRecord> records;
  bool toggles = false;
};

// Runs the frame in selection mode through a one-pixel region centred on the
// pixel at (x, y), window coordinates with the origin at the bottom left, under
// the frame's own projection. Swaps no buffers.
PickHits selectAt(int x, int y);

// selectAt's verdict.
bool pickAt(int x, int y);

// A left click at (x, y) as the window system reports it, the origin at the
// top left of a window `windowHeight` pixels high: picks at that pixel and
// starts or stops the lap when the verdict says so. Returns what the pick found.
PickHits clickAt(int x, int y, int windowHeight);
