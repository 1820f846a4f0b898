// Generated files written only when their bytes changed, and not over a person's.
#include "datagen/file_store.h"

#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/output_file.h"
#include "support/printable_text.h"

namespace datagen {

namespace {

// The file's bytes, or false when there is none. Throws when one is there but
// cannot be read: deciding without it could write over a person's file.
bool readExisting(const std::string& path, std::vector<uint8_t>* bytes) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return false;
    throw std::runtime_error("cannot look at " + printableText(path) + ": " + std::strerror(errno));
  }
  if (!S_ISREG(info.st_mode)) throw std::runtime_error(printableText(path) + " is not a regular file");
  std::ifstream in(path, std::ios::binary);
  bytes->resize(static_cast<std::size_t>(info.st_size));
  if (!in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(bytes->size())))
    throw std::runtime_error("cannot read " + printableText(path) + ": " + std::strerror(errno));
  return true;
}

}  // namespace

FileRecord recordOf(const std::vector<uint8_t>& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
  return {bytes.size(), hash};
}

std::string manifestText(const Manifest& manifest) {
  std::string text = "# velmora-datagen: what it wrote last time (FNV-1a 64, bytes, file)\n";
  for (const auto& [path, record] : manifest) {
    char line[64];
    std::snprintf(line, sizeof line, "%016" PRIx64 " %" PRIu64 " ", record.hash, record.size);
    text += line + path + "\n";
  }
  return text;
}

Manifest parseManifest(const std::string& text) {
  Manifest manifest;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::uint64_t hash = 0, size = 0;
    int used = 0;
    if (line.empty() || line[0] == '#') continue;
    if (std::sscanf(line.c_str(), "%16" SCNx64 " %" SCNu64 " %n", &hash, &size, &used) != 2 || used == 0) continue;
    if (static_cast<std::size_t>(used) < line.size()) manifest[line.substr(used)] = {size, hash};
  }
  return manifest;
}

FileAction chooseAction(const std::vector<uint8_t>* onDisk, const FileRecord* lastWritten,
                        const std::vector<uint8_t>& now, bool force) {
  if (onDisk == nullptr) return FileAction::WRITE;
  if (*onDisk == now) return FileAction::UNCHANGED;
  if (force) return FileAction::WRITE;
  if (lastWritten != nullptr && recordOf(*onDisk) == *lastWritten) return FileAction::WRITE;
  return FileAction::KEEP;
}

DataFolder::DataFolder(std::string folder, bool force) : folder_(std::move(folder)), force_(force) {
  std::vector<uint8_t> manifest;
  if (readExisting(folder_ + "/" + MANIFEST_NAME, &manifest))
    previous_ = parseManifest(std::string(manifest.begin(), manifest.end()));
}

FileAction DataFolder::store(const std::string& relative, const std::vector<uint8_t>& bytes) {
  const std::string path = folder_ + "/" + relative;
  std::vector<uint8_t> existing;
  const bool exists = readExisting(path, &existing);
  const auto last = previous_.find(relative);
  const FileAction action =
      chooseAction(exists ? &existing : nullptr, last == previous_.end() ? nullptr : &last->second, bytes, force_);
  if (action == FileAction::KEEP) {
    // Still not the generator's: the next run asks the same question.
    if (last != previous_.end()) next_[relative] = last->second;
    return action;
  }
  if (action == FileAction::WRITE) {
    const std::filesystem::path target(path);
    std::error_code error;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
    if (error) throw std::runtime_error("cannot make the folder " + printableText(target.parent_path().string()) +
                                        ": " + writeErrorText(error.value()));
    const std::string reason = writeOutputFile(path, bytes.data(), bytes.size());
    if (!reason.empty()) throw std::runtime_error(cannotWriteText(path, reason));
  }
  next_[relative] = recordOf(bytes);
  return action;
}

void DataFolder::saveManifest() {
  const std::string text = manifestText(next_);
  const std::string path = folder_ + "/" + MANIFEST_NAME;
  const std::string reason = writeOutputFile(path, text.data(), text.size());
  if (!reason.empty()) throw std::runtime_error(cannotWriteText(path, reason));
}

std::vector<uint8_t> toBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

}  // namespace datagen
