// What the readers accept at most, and the look at a path that every reader
// takes before it opens it: only an existing regular file within a size cap is
// read, so a device, a FIFO or an endless file is refused by name instead of
// being read until memory runs out.
#pragma once

#include <cstdint>
#include <string>

constexpr std::uint64_t MIB = std::uint64_t(1) << 20;

// No picture side above what OpenGL implementations here accept as a texture
// (llvmpipe's GL_MAX_TEXTURE_SIZE), and no decoded picture above 256 MiB
// (8192 x 8192 RGBA): far above the scene's pictures, far below the memory a
// run-length file could otherwise ask for in a few megabytes.
constexpr int IMAGE_MAX_SIDE = 16384;
constexpr std::uint64_t IMAGE_MAX_BYTES = 256 * MIB;

// For readers whose input size is bounded by other checks (the image loaders
// read only what the header promises).
constexpr std::uint64_t NO_SIZE_CAP = UINT64_MAX;

// Why `path` cannot be read as a regular file of at most `cap` bytes, in words
// a user can act on ("no such file", "a folder, not a file", ...); empty when it
// can. *size receives the file's size when given.
std::string regularFileProblem(const char* path, std::uint64_t cap, std::uint64_t* size = nullptr);

// The same for a file already open: the second look, on what was really opened.
std::string openFileProblem(int fd, std::uint64_t cap, std::uint64_t* size = nullptr);

// Why an open or a stat failed with `error` (an errno value).
std::string fileErrorText(int error);

// The system's text for errno `error`, starting lower case to sit inside a message.
std::string systemErrorText(int error);

// Why a width x height picture of `bytesPerPixel` is not decoded (a cap), or empty.
std::string imageSizeProblem(std::int64_t width, std::int64_t height, int bytesPerPixel);

// "300 bytes", "12 KiB", "256 MiB", "4.5 GiB".
std::string byteSizeText(std::uint64_t bytes);

// The line that follows a refusal message and explains it: two blanks, the
// file (escaped for the terminal), ": ", the reason, a line end.
std::string reasonLine(const std::string& file, const std::string& reason);
