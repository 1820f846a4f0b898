// The pick names the frame loads: what a click in selection mode can tell apart.
// The pick pass pushes the signboard's before the frame; the curve kart loads
// its own; the frame loads the scenery's for everything drawn after the curve kart.
#pragma once

constexpr unsigned PICK_NAME_SIGNBOARD = 0;
constexpr unsigned PICK_NAME_SCENERY = 1;
constexpr unsigned PICK_NAME_CURVE_KART = 2;
