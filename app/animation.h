// The idle step: the animation advances by one fixed step per idle call, with no time base.
#pragma once

struct SceneState;

// One animation step on `state`: curve parameter, spin, sun angle, changing
// light colour. The shell's idle callback takes it on the scene state.
void stepAnimation(SceneState& state);
