// Shared by the fuzz targets: the readers under test read files, so each input
// is written into a scratch folder of this process first.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzzsupport {

// A folder of this process's own, made unique, in $TMPDIR (as the tests set
// it), else in /dev/shm, else the system's temporary folder; removed at exit.
// The path is never destroyed, so the exit handler can still use it.
inline const std::string& scratchDir() {
  static const std::string* dir = [] {
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string base = tmpdir != nullptr && *tmpdir != '\0'    ? tmpdir
                             : access("/dev/shm", W_OK) == 0 ? "/dev/shm"
                                                             : P_tmpdir;
    auto* path = new std::string(base + "/velmora-fuzz-XXXXXX");
    if (mkdtemp(path->data()) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchDir(), ignored);
    });
    return path;
  }();
  return *dir;
}

// Writes `size` bytes to `path`, replacing the file; a failure ends the run.
inline void writeFile(const std::string& path, const void* data, std::size_t size) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);
}

}  // namespace fuzzsupport
