// The idle step: the animation advances by one fixed step per idle call, with no time base.
#pragma once

struct SceneState;

// One animation step on `state`: curve parameter, spin, sun angle, changing light colour.
void stepAnimation(SceneState& state);

// GLUT idle callback: one step on the scene state, then a redisplay request.
void idle();
