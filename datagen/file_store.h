// Writes generated files only when their bytes differ from what is on disk, so that
// a rebuild leaves unchanged files (and their timestamps) alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// Writes `bytes` to `path`, creating parent folders. Returns true when the file was
// written, false when it already held exactly these bytes. Throws on I/O failure.
bool writeIfChanged(const std::string& path, const std::vector<uint8_t>& bytes);

std::vector<uint8_t> toBytes(const std::string& text);

}  // namespace datagen
