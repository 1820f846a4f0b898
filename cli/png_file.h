// PNG files, written one way for every Velmora tool that makes pictures: the
// data generator's previews, velmora-shot's frames and velmora-grab's screenshots.
#pragma once

#include <string>

// Writes width x height pixels of `channels` bytes each (3: RGB, 4: RGBA),
// rows packed without padding. `bottomRowFirst` is for pictures kept the way
// OpenGL keeps them. Returns false with `error` set to the reason when the
// picture is empty or too large, or the file cannot be written
// ("cannot write PATH: REASON"). The file is written whole or not at all
// (support/output_file.h): a picture that was there survives a failed write.
bool writePngFile(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
                  bool bottomRowFirst, std::string* error);
