// One frame: the scene composition and what surrounds it. The shell's display
// callback draws it and swaps; the pick pass draws it in selection mode.
#pragma once

#include "app/scene_state.h"

// The frame without the swap: clear, compose, sky box and ground.
void drawFrame();

// Lights in eye space, the camera, then every object in its fixed order.
void composeScene();

// How every frame begins: the sun and the headlight placed in eye space (when
// on), then the camera.
void placeLightsAndCamera();

// The camera of the current mode: the car view beside the spinning kart, or
// the free camera.
void placeCamera();

// The spinning kart's place on its circle, in kart space: where the frame
// draws it, and the point the car-view camera rides beside.
ScenePoint spinningKartPlace();
