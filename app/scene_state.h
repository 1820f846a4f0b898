// The one process-wide record of the scene: camera pose and mode, animation
// parameters, light switches and the last mouse position. The member
// initialisers are the values at load, so `sceneState = SceneState{}` resets it.
#pragma once

// Degrees to radians as the scene has always converted them: 3.14159 / 180,
// not the exact pi / 180. Camera, arrow keys, the spinning kart and the sun use it.
constexpr double DEG_TO_RAD = 3.14159 / 180.0;

struct ScenePoint {
  double x = 0;
  double y = 0;
  double z = 0;
};

struct SceneState {
  // Camera and mouse.
  ScenePoint cameraPos;
  ScenePoint cameraDir;  // horizontal unit vector the up and down arrows walk along
  double cameraYaw = 0;
  double cameraPitch = 0;
  bool carView = false;
  int lastMouseX = 650;  // centre of the 1300 x 1000 window as created
  int lastMouseY = 500;

  // Animation.
  float curveParam = 0;
  bool curveAnimationOn = false;
  double spinAngle = 0;
  bool gyrationOn = true;
  double sunAngle = 0;
  float lightColor[4] = {1.0f, 0.9f, 0.9f, 1.0f};
  bool colorChangeOn = false;

  // Light switches. kartLightsOff is true while the kart lamps are off.
  bool sunOn = false;
  bool sunMoving = false;
  bool headlightOn = false;
  bool kartLightsOff = false;
};

extern SceneState sceneState;
