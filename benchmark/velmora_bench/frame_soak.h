// The soak run: many frames with the idle step, picks and menu commands
// between them, watching the resident memory.
#pragma once

// Starts the program's scene and draws `frames` frames; returns whether the
// resident memory stayed flat.
bool runSoak(int frames);
