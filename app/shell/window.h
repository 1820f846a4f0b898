// The program window: its fixed OpenGL state and the projection set on reshape.
#pragma once

constexpr int WINDOW_WIDTH = 1300;
constexpr int WINDOW_HEIGHT = 1000;
constexpr double FIELD_OF_VIEW = 60;
constexpr double NEAR_PLANE = 0.1;
constexpr double FAR_PLANE = 100;

// Depth test, filled polygons both sides, smooth shading, local-viewer lighting,
// a black clear colour. Face culling off: both sides of every polygon are drawn.
void initGL();

// GLUT reshape callback: viewport and perspective projection for the new size.
// A zero height (a minimised window) keeps the previous projection.
void reshape(int width, int height);
