// The kart's start-up load taken apart: reading the OBJ and its MTL with each
// scanner, its textures' decoding and mipmaps, and the preparation after the read.
#pragma once

// Prints the kart figures, medians of `runs`; the parts that create OpenGL
// objects need a display (a hidden context is made when none is current).
void runKartLoading(int runs);
