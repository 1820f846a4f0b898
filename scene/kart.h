// The go-karts: one model drawn three times per frame (parked, circling, and
// driving its lap of the curve), each with its own lamps.
#pragma once

struct CurveKartState;

// Kart space is the world scaled by 1 / KART_SCALE: karts and grass patches
// are scaled by it before they are translated.
constexpr float KART_SCALE = 0.6f;

// Every kart stands this high in kart space: the fitted model's centre, with
// its wheels on the ground.
constexpr double KART_STAND_HEIGHT = 0.33;

constexpr const char* KART_MODEL_PATH = "data/models/go-carts/GO-CART-BLUE.obj";

// The kart model at the origin of the current modelview, read on first use.
void drawKartModel();

// One kart at kart-space (x, y, z), turned `heading` degrees about +y, with
// the kart lamps placed in its frame.
void drawKart(double x, double y, double z, double heading);

// The kart on the curve: one step of its lap logic, then the kart at its
// point of the curve under pick name 2.
void drawKartOnCurve();

// The lap state of the kart on the curve, which only its drawing advances;
// resetScene puts it back to the start of a lap.
CurveKartState& curveKartState();
