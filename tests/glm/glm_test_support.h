// Helpers for the model library's tests: fixture files written in the test, a
// recorder in place of material texture loading, and checks of a model's invariants.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "glm/glm.h"

namespace glmtest {

// A fresh temporary folder with files written into it from strings.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();  // removes the folder and everything in it
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string write(const std::string& name, const std::string& text) const;
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

// Replaces material texture loading for its lifetime: every request is
// recorded and succeeds with a made-up texture (ids 101, 102, ... and 64 x 32),
// or fails with "Error reading texture: <path> \n" when `fail` is set.
class TextureRecorder {
 public:
  explicit TextureRecorder(bool fail = false);
  ~TextureRecorder();
  static const std::vector<std::string>& requests();
  // The id the next successful request gets; tests that bind real textures set it.
  static void setNextId(unsigned id);

 private:
  GlmTextureHook previous_;
};

// Reads an OBJ file through the checked API; fails the test with the message on error.
std::unique_ptr<ObjModel> readModel(const std::string& path);

// Names of the groups in grouplist order.
std::vector<std::string> groupNames(const ObjModel& model);

// Every structural invariant of a read model; empty when all hold, otherwise a description.
std::string invariantViolations(const ObjModel& model);

}  // namespace glmtest
