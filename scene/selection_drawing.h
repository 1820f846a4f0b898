// What the culled path draws differently in selection mode: the sky box from
// vertex arrays, the signboard and benches recorded into a display list, and
// only when they can be hit.
#pragma once

// Runs `draw` into a scratch display list, then calls the list: the same
// primitives and state changes, without immediate mode at selection time.
void drawRecorded(void (*draw)());

// The sky box as drawSkyBox draws it, the same quads in the same order and
// the same state left behind, sent from vertex arrays.
void drawSkyBoxFromArrays();

// The signboard, recorded, when it reaches into the view volume; otherwise
// only its picture counter advances, as a drawing pass would advance it.
void drawSignboardIfShowing();
