// The reader of one image file format. Each loader owns one binary stream that
// every Load opens on its file and closes again before it returns; a format
// supplies Decode, and Load is the same for all of them.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <utility>

#include "support/read_limits.h"

class CImage;

class CImageLoader {
 public:
  CImageLoader() = default;
  virtual ~CImageLoader() = default;

  CImageLoader(const CImageLoader&) = delete;
  CImageLoader& operator=(const CImageLoader&) = delete;

  // Decodes the named file into `image`: true with every pixel filled, or false
  // with the file closed and the image left without pixels. Throws nothing.
  bool Load(const char* fileName, CImage* image);

  // Why the last Load returned false, in words a user can act on ("no such
  // file", "truncated at byte 40 ..."); empty after a success. The loaders
  // print none of it: the caller decides whether a refusal is worth a line.
  const std::string& GetFailure() const { return failure; }

 protected:
  // The format's own reading: opens the file (OpenFile), fills `image` and
  // returns true, or returns Refuse(reason). It may leave the file open, the
  // image half filled or throw std::bad_alloc for a read buffer: Load tidies up.
  virtual bool Decode(const char* fileName, CImage* image) = 0;

  // Opens `file` on a regular file for binary reading and notes its size in
  // fileSize; false, with the reason noted, for anything else. A FIFO is
  // refused before it is opened: opening one waits for a writer.
  bool OpenFile(const char* fileName) {
    failure.clear();
    fileSize = 0;
    std::string problem = regularFileProblem(fileName, NO_SIZE_CAP, &fileSize);
    if (!problem.empty()) return Refuse(std::move(problem));
    file.open(fileName, std::ios::in | std::ios::binary);
    if (!file.good()) return Refuse(fileErrorText(errno));
    return true;
  }

  // Notes why the file is refused; false, for `return Refuse(...)`.
  bool Refuse(std::string reason) {
    failure = std::move(reason);
    return false;
  }

  // The reason for a file that ends before what its header promises.
  std::string TruncatedAt(std::uint64_t needed) const {
    return "truncated at byte " + std::to_string(fileSize) + " (its header promises " + std::to_string(needed) +
           " bytes); the file is damaged or was not copied whole";
  }

  // Reads exactly `count` bytes; a short read is a failure, never padding.
  bool ReadBytes(void* target, std::size_t count) {
    file.read(static_cast<char*>(target), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(file.gcount()) == count;
  }

  std::ifstream file;
  std::uint64_t fileSize = 0;  // of the file the current Load opened
  std::string failure;
};
