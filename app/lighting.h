// The four lights: the sun (GL_LIGHT0), the kart lamps (GL_LIGHT1, GL_LIGHT2)
// and the camera headlight (GL_LIGHT3); their switches and per-frame placements.
#pragma once

#include <array>

struct SceneState;

using LightVector = std::array<float, 4>;

// Sun: white global ambient, slightly red diffuse, shining from straight above the viewer.
constexpr LightVector SUN_AMBIENT = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr LightVector SUN_DIFFUSE = {1.0f, 0.9f, 0.9f, 1.0f};
constexpr LightVector SUN_DIRECTION_STILL = {0, 1, 0, 0};

// Headlight: a narrow spot at the eye along the line of sight.
constexpr LightVector HEADLIGHT_AMBIENT = {0.3f, 0.3f, 0.3f, 1.0f};
constexpr LightVector HEADLIGHT_DIFFUSE = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float HEADLIGHT_CUTOFF = 12;
constexpr LightVector HEADLIGHT_POSITION = {0, 0, 0, 1};
constexpr float HEADLIGHT_DIRECTION[3] = {0, 0, -1};

// Kart lamps, in the kart's own frame, whose front faces -x: 1.1 ahead, 0.05
// below the origin, 0.25 to either side, shining forward and slightly down.
constexpr LightVector KART_LAMP_DIFFUSE = {2.0f, 2.0f, 2.0f, 1.0f};
constexpr float KART_LAMP_CUTOFF = 20;
constexpr float KART_LAMP_DIRECTION[3] = {-1, -0.3f, 0};
constexpr LightVector KART_LAMP_RIGHT_POSITION = {-1.1f, -0.05f, -0.25f, 1};
constexpr LightVector KART_LAMP_LEFT_POSITION = {-1.1f, -0.05f, 0.25f, 1};

// Sun direction in eye coordinates: still, or circling the viewer's vertical
// axis twice per turn of the sun angle.
LightVector sunPosition(const SceneState& state);

// Diffuse colour of the sun and of the kart lamps: the changing colour while it is on.
LightVector sunDiffuse(const SceneState& state);
LightVector kartLampDiffuse(const SceneState& state);

// Start-up: spot cut-offs of both kart lamps, both enabled.
void initKartLights();

// The four lights and the light model's ambient colour back to what a new
// OpenGL context holds: all off, with OpenGL's own colours, positions,
// directions and cut-offs.
void resetLights();

// Switches, called by the menu commands (toggleSun also once at start-up).
void toggleSun();
void toggleHeadlight();
void toggleKartLights();
void toggleSunMoving();
void toggleColorChange();

// Placements under the current modelview: sun and headlight in eye space
// before the camera, kart lamps in each kart's frame.
void placeSunLight();
void placeHeadlight();
void placeKartLights();
