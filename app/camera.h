// The two cameras: the free camera walked with the arrow keys and turned with
// the mouse, and the car-view camera riding outside the spinning kart's circle.
#pragma once

struct SceneState;

// The arguments of one gluLookAt call.
struct LookAt {
  double eye[3];
  double center[3];
  double up[3];
};

// Multiplies the current matrix by the view, as gluLookAt does.
void lookAt(const LookAt& view);

// The arrow keys as GLUT's special-key callback reports them: the shell passes
// the key codes straight on.
constexpr int ARROW_KEY_LEFT = 100;
constexpr int ARROW_KEY_UP = 101;
constexpr int ARROW_KEY_RIGHT = 102;
constexpr int ARROW_KEY_DOWN = 103;

// Free-camera view from the state's yaw, pitch and position; stores the
// horizontal walking direction in cameraDir as a side effect, as every free frame does.
LookAt freeCameraLookAt(SceneState& state);

// Car-view camera for a point (x, y, z) on the spinning kart's circle: the eye
// stands 1.6 times as far out and 1 higher, looking at the world origin.
LookAt carViewLookAt(double x, double y, double z);

// Start pose: at (0, 0, 5) looking along -z, level. Leaves carView alone.
void resetCameraPose(SceneState& state);

// Bench pose: leaves car view, heading -66 degrees from (0.75, 0, 0.35), level.
// cameraDir is left for the next free frame to recompute.
void setBenchPose(SceneState& state);

// Arrow keys: one 0.6 step forward, back or sideways. Returns whether the key
// was handled (false in car view and for other keys); the shell asks for a
// redisplay only then.
bool walkCamera(SceneState& state, int key);

// Passive mouse motion: one 3-degree turn per axis for a move of 2 pixels or
// more from the last accepted position; pitch clamped to [-75, 75], yaw wrapped.
void turnCamera(SceneState& state, int x, int y);

// GL side, on the global scene state.
void placeFreeCamera();
void placeCarViewCamera(double x, double y, double z);
void resetCamera();
