// Where tests find the project's files and the third-party test data.
#pragma once

#include <string>

namespace supporttest {

// Absolute path of a file below the project root.
std::string source(const std::string& relative);

// Absolute path of a file below ../shared/testdata, the third-party test files
// beside the project (found from the sources, nowhere else).
std::string testdata(const std::string& relative);

// True when that folder is there. CTest skips the tests that need it where it
// is not (tests/support/needs-data.sh); this guards a program run by hand.
bool haveTestdata();

// A fresh, empty temporary directory (removed by nobody: the system's /tmp rules).
std::string makeTempDir(const std::string& tag);

}  // namespace supporttest
