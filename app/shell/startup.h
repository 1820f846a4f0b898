// Start-up after the window exists, and the scene put back to its start: the
// one sequence the program, velmora-shot, the benchmark and the tests share.
#pragma once

// Fixed GL state, scene textures (read on the first call only: they never
// change), `buildMenus` when given, kart lamps, start pose, and the sun on.
// The menus are the only step that needs the window system: velmora-shot, the
// benchmark and the tests pass none.
void initScene(void (*buildMenus)() = nullptr);

// Everything start-up starts from, back to its values at load: the scene
// state, the curve kart's lap, the signboard's picture counter, and the four
// lights with the light model's ambient colour. initScene then starts the
// scene anew, as the program's start-up does.
void resetScene();
