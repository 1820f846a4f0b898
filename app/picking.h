// Object picking: a left click starts or stops the curve kart's lap when
// exactly one of the kart and the signboard is drawn under the cursor.
#pragma once

#include <GL/gl.h>

constexpr int SELECT_BUFFER_SIZE = 64;

// The verdict on a selection pass's hit records: true when exactly one of the
// signboard's and the curve kart's names is among them. A negative count
// (an overflowed buffer) gives false.
bool pickToggles(const GLuint* records, int hitCount);

// Runs the frame in selection mode through a one-pixel region centred on the
// pixel at (x, y), window coordinates with the origin at the bottom left, under
// the frame's own projection. Swaps no buffers. Returns the verdict.
bool pickAt(int x, int y);

// Hit count and records of the last pick, for tests and tools.
int lastPickHitCount();
const GLuint* lastPickRecords();

// GLUT mouse callback: a left-button press picks at the cursor.
void mouseButton(int button, int state, int x, int y);
