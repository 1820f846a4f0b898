// The reader of one image file format. Each loader owns one binary stream that
// every Load opens on its file and closes again before it returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>

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

 protected:
  // Reads exactly `count` bytes; a short read is a failure, never padding.
  bool ReadBytes(void* target, std::size_t count) {
    file.read(static_cast<char*>(target), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(file.gcount()) == count;
  }

  // Bytes from the current position to the end of the open file, or -1 when the
  // stream cannot tell (not a regular file). Leaves the position where it was.
  std::int64_t BytesLeft() {
    const std::streampos here = file.tellg();
    if (here == std::streampos(-1) || !file.seekg(0, std::ios::end)) return -1;
    const std::streampos end = file.tellg();
    file.seekg(here);
    if (end == std::streampos(-1) || !file || end < here) return -1;
    return static_cast<std::int64_t>(end - here);
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
};
