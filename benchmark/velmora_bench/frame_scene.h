// The frame section's handles on the scene: poses, and where a pick lands.
#pragma once

#include "tests/reference/path_comparison.h"

enum class Pose { Start, Bench, CarView, Night };
constexpr Pose ALL_POSES[] = {Pose::Start, Pose::Bench, Pose::CarView, Pose::Night};

const char* poseName(Pose pose);

// Puts the camera (and, at night, the lights) in `pose` through the menu
// commands a user would choose; leavePose switches the lights back.
void enterPose(Pose pose);
void leavePose(Pose pose);

// The names in a pick's records, for printing ("1,2").
const char* pickNames(const PickRecords& records);

// The window pixel (origin bottom left) that the world point shows at in the
// current pose's frame.
bool projectToWindow(double x, double y, double z, int* wx, int* wy);
