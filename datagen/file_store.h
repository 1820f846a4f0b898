// The generator's files in a data folder: written only when their bytes differ
// from what is there, and never over a file a person put in place of one. A
// manifest beside the build's stamp records what the generator wrote last time;
// a file that differs both from that and from what the generator makes now was
// changed by someone else and is kept.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace datagen {

// The manifest's name in the data folder.
constexpr const char* MANIFEST_NAME = ".velmora-datagen.manifest";

// What is known of a file's bytes: their count and their FNV-1a 64 hash.
struct FileRecord {
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  bool operator==(const FileRecord& other) const { return size == other.size && hash == other.hash; }
  bool operator!=(const FileRecord& other) const { return !(*this == other); }
};

FileRecord recordOf(const std::vector<uint8_t>& bytes);

// Path (relative to the data folder) -> what the generator wrote there.
using Manifest = std::map<std::string, FileRecord>;

// One line per file: hash in hex, size, path. Sorted by path.
std::string manifestText(const Manifest& manifest);
// The manifest read back; lines it does not understand are left out, so a
// damaged manifest only makes its files count as changed by a person.
Manifest parseManifest(const std::string& text);

enum class FileAction {
  UNCHANGED,  // the file already holds these bytes
  WRITE,      // missing, or still what the generator wrote last time, or forced
  KEEP,       // changed by a person: left as it is
};

// What to do with one file. `onDisk` is null when there is no file;
// `lastWritten` is null when the manifest has no record of it.
FileAction chooseAction(const std::vector<uint8_t>* onDisk, const FileRecord* lastWritten,
                        const std::vector<uint8_t>& now, bool force);

// A data folder being brought up to date. Throws std::runtime_error with a
// message ("cannot write PATH: REASON") when a file cannot be read or written;
// a file whose write fails stays as it was.
class DataFolder {
 public:
  DataFolder(std::string folder, bool force);

  // Puts `bytes` at `relative` unless it holds them already or a person changed it.
  FileAction store(const std::string& relative, const std::vector<uint8_t>& bytes);

  // Writes the manifest: what is now the generator's in the folder.
  void saveManifest();

 private:
  std::string folder_;
  bool force_;
  Manifest previous_;
  Manifest next_;
};

std::vector<uint8_t> toBytes(const std::string& text);

}  // namespace datagen
