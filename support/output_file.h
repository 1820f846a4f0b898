// The one way every program here writes a file it was asked for: whole or not
// at all. The bytes go to a temporary file beside the target, which is flushed,
// synced and closed (each checked) and then renamed over the target, so a file
// that was there before survives every failure whole. A target that exists
// and is not a regular file (a device, a pipe) is written directly, and never
// removed or replaced; so is a descriptor's name (/dev/stdout, /dev/fd/N),
// through that descriptor.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Why nothing can be written at `path`, in words a user can act on ("the folder
// out does not exist", "a folder, not a file", ...), or empty when it can. It
// makes and removes a probe file in the target's folder, which is cheap, and
// is meant to be asked before the work that makes the file begins.
std::string outputFileProblem(const std::string& path);

// Why `fileName` cannot be written into `folder`, which is made when missing:
// "cannot make the folder F: REASON" or "cannot write into F: REASON", or
// empty when it can.
std::string outputFolderProblem(const std::string& folder, const std::string& fileName);

// One file being written. stream() takes the bytes; commit() puts them in
// place. Destroyed without a successful commit(), it removes its temporary
// file and leaves the target as it was.
class OutputFile {
 public:
  explicit OutputFile(std::string path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Where the bytes go; null when the file could not be begun (problem() says why).
  std::FILE* stream() const { return stream_; }
  // Why the file could not be begun, or empty.
  const std::string& problem() const { return problem_; }

  // Flushes, syncs and closes, then renames over the target. Returns "" when
  // the file is in place, otherwise the reason ("no space left on the
  // device"), with the temporary file gone and the target untouched.
  std::string commit();

 private:
  void discard();

  std::string target_;     // the file named, symbolic links followed
  std::string temporary_;  // beside it; empty when the target is written directly
  std::FILE* stream_ = nullptr;
  std::string problem_;
};

// The whole of `size` bytes at `data` written to `path` through an OutputFile.
// Returns "" or the reason.
std::string writeOutputFile(const std::string& path, const void* data, std::size_t size);

// Why a write failed with `error` (an errno value), in words: "no space left
// on the device", "its folder does not exist".
std::string writeErrorText(int error);

// What a failed write says: "cannot write PATH: REASON", the path escaped.
std::string cannotWriteText(const std::string& path, const std::string& reason);
