// Start-up after the window exists: the one-time initialisation, in order.
#pragma once

// Fixed GL state, scene textures, `buildMenus` when given, kart lamps, start
// pose, and the sun on. The menus are the only step that needs the window
// system: velmora-shot, the benchmark and the tests pass none.
void initScene(void (*buildMenus)() = nullptr);
