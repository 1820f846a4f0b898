// Start-up: the window, the callbacks and the one-time initialisation, in order.
#pragma once

// GLUT initialisation and the "Velmora" window, 1300 x 1000 at (300, 20),
// double-buffered RGB with depth.
void createMainWindow(int* argc, char** argv);

// Display, idle, reshape, special keys, passive mouse motion, mouse buttons;
// nothing else (no keyboard, no motion with a button held, no timer).
void registerCallbacks();

// Fixed GL state, scene textures, menus, kart lamps, start pose, and the sun on.
void initScene();
