// The application shell, the only code that talks to GLUT: the window, the
// callbacks, the menus, the buffer swap and the redisplay requests. Each
// callback hands its event to the plain functions below it and then swaps or
// asks for a redisplay.
#pragma once

// GLUT initialisation and the "Velmora" window, 1300 x 1000 at (300, 20)
// unless GLUT's -geometry option in argv says otherwise, double-buffered RGB
// with depth.
void createMainWindow(int* argc, char** argv);

// Display, idle, reshape, special keys, passive mouse motion, mouse buttons;
// nothing else (no keyboard, no motion with a button held, no timer).
void registerCallbacks();

// Builds the three submenus and the top menu ("Camera", "Lights",
// "Animations") from the menu tables and attaches it to the right button.
// Returns the top menu's id.
int buildMenus();

// The callbacks (reshape, which needs no GLUT call, is in app/shell/window.h).
void display();                                         // the frame, then a buffer swap
void idle();                                            // one animation step, then a redisplay
void specialKey(int key, int x, int y);                 // arrow keys walk the free camera
void passiveMotion(int x, int y);                       // mouse moves turn it
void mouseButton(int button, int state, int x, int y);  // a left-button press picks
void menuCommand(int value);                            // every menu's entries
