// The right-button pop-up menu: its entries (camera modes, lights, the two kart
// animations) and the commands they run.
#pragma once

struct MenuEntry {
  const char* label;
  int id;
};

// Item ids, as the menu callback receives them.
constexpr int CMD_TOGGLE_SUN = 1;
constexpr int CMD_TOGGLE_HEADLIGHT = 2;
constexpr int CMD_TOGGLE_KART_LIGHTS = 3;
constexpr int CMD_TOGGLE_SUN_MOVING = 4;
constexpr int CMD_TOGGLE_COLOR_CHANGE = 5;
constexpr int CMD_FREE_MOVEMENT = 22;
constexpr int CMD_CAR_VIEW = 33;
constexpr int CMD_BENCH_VIEW = 44;
constexpr int CMD_BACK_TO_START = 55;
constexpr int CMD_GYRATION = 111;
constexpr int CMD_CURVE_ANIMATION = 222;

// The three submenus, entries in menu order.
constexpr MenuEntry CAMERA_MENU[] = {
    {"Free movement", CMD_FREE_MOVEMENT},
    {"Car view (dynamic)", CMD_CAR_VIEW},
    {"View from bench (static)", CMD_BENCH_VIEW},
    {"Back to start (static)", CMD_BACK_TO_START},
};
constexpr MenuEntry LIGHTS_MENU[] = {
    {"Toggle Sun", CMD_TOGGLE_SUN},
    {"Toggle Sun moveing", CMD_TOGGLE_SUN_MOVING},
    {"Toggle light color change", CMD_TOGGLE_COLOR_CHANGE},
    {"Toggle headlight", CMD_TOGGLE_HEADLIGHT},
    {"Toggle go-car lights", CMD_TOGGLE_KART_LIGHTS},
};
constexpr MenuEntry ANIMATIONS_MENU[] = {
    {"Go-cart gyration", CMD_GYRATION},
    {"Go-cart animation on curve", CMD_CURVE_ANIMATION},
};

// Carries out one command; returns false for an unknown id, which does
// nothing. The shell builds the menus from the tables above and asks for a
// redisplay after every command carried out.
bool runMenuCommand(int id);

// The two animation switches. Neither posts a redisplay.
void toggleGyration();
void toggleCurveAnimation();
