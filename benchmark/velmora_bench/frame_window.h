// The benchmark's window: start-up as the program does it, timed by phase, and
// the few GLUT calls the frame section and the soak run make themselves.
#pragma once

struct StartupTimes {
  double window = 0;      // GLUT initialisation, the window, the callbacks
  double initScene = 0;   // fixed GL state, scene textures, menus, lights, camera
  double firstFrame = 0;  // the main loop's first turns: reshape and the first frame, which reads the models
  double total = 0;
  double firstDisplay = 0;      // of firstFrame: the first display() to glFinish
  double nextDisplays[3] = {};  // the three displays right after it, each to glFinish
};

// Creates the window, registers the callbacks and initialises the scene as
// the program's main does, then runs GLUT's event loop until the first frame
// has been drawn and finished. The display callback is the program's again afterwards.
StartupTimes startUpLikeTheProgram();

// The display callback from now on (the program's is `display`).
void useDisplay(void (*draw)());

// One turn of GLUT's event loop: events, and the posted redisplay, which draws.
void mainLoopTurn();

// Shows the back buffer.
void swapBuffers();
