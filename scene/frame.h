// One frame: the scene composition and what surrounds it. The shell's display
// callback draws it and swaps; the pick pass draws it in selection mode.
#pragma once

// The frame without the swap: clear, compose, sky box and ground.
void drawFrame();

// Lights in eye space, the camera, then every object in its fixed order.
void composeScene();
