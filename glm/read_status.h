// Outcome of reading or preparing a model: either success or the one message
// that the public entry points print before they end the process.
#pragma once

#include <string>

enum class ReadError {
  NONE,
  CANT_OPEN_OBJ,       // the OBJ file cannot be opened
  UNKNOWN_TOKEN,       // a 'v' statement other than v, vn, vt
  CANT_OPEN_MTL,       // the material library cannot be opened
  TEXTURE_UNREADABLE,  // a map_Kd texture the loader refused
  BAD_INDEX,           // a face index that names no element
  NO_VERTICES,         // a model without vertices cannot be fitted
  TOO_LARGE,           // the model needs more memory than its cap, or than there is
};

struct ReadStatus {
  ReadError error = ReadError::NONE;
  std::string message;      // whole text to print, line end included
  bool toStdout = false;    // the unknown-token message goes to standard output, all others to standard error
  std::string reason;       // why, when the message alone does not say: the line that follows it (reasonLine)

  bool ok() const { return error == ReadError::NONE; }

  // The message and its reason line, as they are printed.
  std::string text() const { return message + reason; }

  static ReadStatus success() { return ReadStatus(); }
  static ReadStatus failure(ReadError error, std::string message, bool toStdout = false, std::string reason = "") {
    ReadStatus status;
    status.error = error;
    status.message = std::move(message);
    status.toStdout = toStdout;
    status.reason = std::move(reason);
    return status;
  }
};

// Prints a failed status (message and reason line) on its stream and ends the
// process with exit status 1.
[[noreturn]] void glmFailWith(const ReadStatus& status);
