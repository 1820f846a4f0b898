// The frame section's handles on the scene: poses, and where a pick lands.
#pragma once

#include "app/path_comparison.h"

enum class Pose { Start, Bench, CarView };
constexpr Pose ALL_POSES[] = {Pose::Start, Pose::Bench, Pose::CarView};

const char* poseName(Pose pose);

// Puts the camera in `pose` through the menu commands a user would choose.
void enterPose(Pose pose);

// The names in a pick's records, for printing ("1,2").
const char* pickNames(const PickRecords& records);

// The window pixel (origin bottom left) that the world point shows at in the
// current pose's frame.
bool projectToWindow(double x, double y, double z, int* wx, int* wy);
