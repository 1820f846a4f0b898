// What the culled path draws differently in selection mode: the sky box from
// vertex arrays, and the signboard only when it can be hit.
#pragma once

// The sky box as drawSkyBox draws it, the same quads in the same order and
// the same state left behind, sent from vertex arrays.
void drawSkyBoxFromArrays();

// The signboard when it reaches into the view volume; otherwise only its
// picture counter advances, as a drawing pass would advance it.
void drawSignboardIfShowing();
