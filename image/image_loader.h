// The reader of one image file format. Each loader owns one binary stream that
// every Load opens on its file and closes again before it returns.
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
  virtual bool Load(const char* fileName, CImage* image) = 0;

  // Why the last Load returned false, in words a user can act on ("no such
  // file", "truncated at byte 40 ..."); empty after a success. The loaders
  // print none of it: the caller decides whether a refusal is worth a line.
  const std::string& GetFailure() const { return failure; }

 protected:
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

  // Closes `file` on every way out of a Load and clears its state, so that a
  // refused file never disturbs the next Load of the same loader.
  class CloseOnExit {
   public:
    explicit CloseOnExit(std::ifstream& stream) : stream(stream) {}
    ~CloseOnExit() {
      if (stream.is_open()) stream.close();
      stream.clear();
    }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

   private:
    std::ifstream& stream;
  };

  std::ifstream file;
  std::uint64_t fileSize = 0;  // of the file the current Load opened
  std::string failure;
};
