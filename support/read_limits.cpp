// The caps of the readers and the words for files they cannot read.
#include "support/read_limits.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "support/printable_text.h"

namespace {

std::string statProblem(const struct stat& info, std::uint64_t cap, std::uint64_t* size) {
  if (S_ISDIR(info.st_mode)) return "a folder, not a file";
  if (!S_ISREG(info.st_mode)) return "not a regular file (a device, a pipe or a socket)";
  const std::uint64_t bytes = info.st_size < 0 ? 0 : static_cast<std::uint64_t>(info.st_size);
  if (bytes > cap) return "larger than the " + byteSizeText(cap) + " cap (" + byteSizeText(bytes) + ")";
  if (size != nullptr) *size = bytes;
  return std::string();
}

}  // namespace

std::string regularFileProblem(const char* path, std::uint64_t cap, std::uint64_t* size) {
  struct stat info;
  if (stat(path, &info) != 0) return fileErrorText(errno);
  return statProblem(info, cap, size);
}

std::string openFileProblem(int fd, std::uint64_t cap, std::uint64_t* size) {
  struct stat info;
  if (fstat(fd, &info) != 0) return fileErrorText(errno);
  return statProblem(info, cap, size);
}

std::string fileErrorText(int error) {
  switch (error) {
    case ENOENT:
      return "no such file";
    case ENOTDIR:
      return "no such file (a part of its path is not a folder)";
    case EACCES:
    case EPERM:
      return "no permission to read it";
    case EISDIR:
      return "a folder, not a file";
    case ENAMETOOLONG:
      return "the name is too long";
    case ELOOP:
      return "too many symbolic links on its path";
    default:
      break;
  }
  return "cannot be read (" + systemErrorText(error) + ")";
}

std::string systemErrorText(int error) {
  std::string text = std::strerror(error);
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

std::string imageSizeProblem(std::int64_t width, std::int64_t height, int bytesPerPixel) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width > IMAGE_MAX_SIDE || height > IMAGE_MAX_SIDE) {
    return size + ": a side is larger than the " + std::to_string(IMAGE_MAX_SIDE) + "-pixel cap";
  }
  if (width < 0 || height < 0) return size + ": a negative size";
  // Both sides are at most 16384 here: the product fits easily.
  const std::uint64_t bytes =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * static_cast<std::uint64_t>(bytesPerPixel);
  if (bytes > IMAGE_MAX_BYTES) {
    return size + " need " + byteSizeText(bytes) + ", more than the " + byteSizeText(IMAGE_MAX_BYTES) + " cap";
  }
  return std::string();
}

std::string byteSizeText(std::uint64_t bytes) {
  static const char* const UNITS[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  double value = static_cast<double>(bytes) / 1024;
  int unit = 0;
  while (value >= 1024 && unit < 5) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  // Whole numbers (the caps) without a decimal, others with one.
  if (value == static_cast<double>(static_cast<std::uint64_t>(value))) {
    std::snprintf(text, sizeof text, "%.0f %s", value, UNITS[unit]);
  } else {
    std::snprintf(text, sizeof text, "%.1f %s", value, UNITS[unit]);
  }
  return text;
}

std::string reasonLine(const std::string& file, const std::string& reason) {
  return "  " + printableText(file) + ": " + reason + "\n";
}
