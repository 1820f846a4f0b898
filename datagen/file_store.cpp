// Writes generated files only when their bytes changed.
#include "datagen/file_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace datagen {

namespace {

bool sameContent(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::error_code error;
  auto size = std::filesystem::file_size(path, error);
  if (error || size != bytes.size()) return false;
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> existing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return in.good() || in.eof() ? existing == bytes : false;
}

}  // namespace

bool writeIfChanged(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (sameContent(path, bytes)) return false;
  std::filesystem::path target(path);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
  // Write beside the target and rename, so a reader never sees half a file.
  std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + temporary + ": " + std::strerror(errno));
  }
  std::filesystem::rename(temporary, target);
  return true;
}

std::vector<uint8_t> toBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

}  // namespace datagen
