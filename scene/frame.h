// One frame: the display callback and the scene composition it draws.
#pragma once

// Pick names the composition loads: what a click in selection mode can tell apart.
constexpr unsigned PICK_NAME_SIGNBOARD = 0;  // pushed by the pick pass before the frame
constexpr unsigned PICK_NAME_SCENERY = 1;    // everything drawn after the curve kart
constexpr unsigned PICK_NAME_CURVE_KART = 2;

// GLUT display callback: the frame, then a buffer swap.
void display();

// The frame without the swap: clear, compose, sky box and ground. The pick
// pass draws it in selection mode.
void drawFrame();

// Lights in eye space, the camera, then every object in its fixed order.
void composeScene();
