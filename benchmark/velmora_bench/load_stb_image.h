// stb_image, the decoder the image loaders are compared with, behind a small
// interface so that its implementation lives in one file.
#pragma once

// Decodes a BMP or TGA file the way stb_image does it; null when it cannot.
// The pixels are top row first; free them with freeStbPixels.
unsigned char* loadWithStb(const char* path, int* width, int* height, int* channels);

void freeStbPixels(unsigned char* pixels);
