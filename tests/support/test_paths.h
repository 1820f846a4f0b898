// Where tests find the project's files and the third-party test data.
#pragma once

#include <string>

namespace testpaths {

// Absolute path of a file below the project root.
std::string source(const std::string& relative);

// Absolute path of a file below the third-party test data folder.
std::string testdata(const std::string& relative);

// True when the third-party test data folder is present on this machine.
bool haveTestdata();

// A fresh, empty temporary directory (removed by nobody: the system's /tmp rules).
std::string makeTempDir(const std::string& tag);

}  // namespace testpaths
