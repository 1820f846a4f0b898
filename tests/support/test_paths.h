// Where tests find the project's files and the third-party test data.
#pragma once

#include <string>

namespace supporttest {

// Absolute path of a file below the project root.
std::string source(const std::string& relative);

// The folder that holds the tests' own copy of the generated data/ (in the
// build folder), where a test runs the program; tests that need it run there.
std::string dataRoot();

// Absolute path of a file below ../shared/testdata, the third-party test files
// beside the project (found from the sources, nowhere else).
std::string testdata(const std::string& relative);

// True when that folder is there. CTest skips the tests that need it where it
// is not (tests/support/needs-data.sh); this guards a program run by hand.
bool haveTestdata();

// True under CI (CI=true in the environment), where every test must run.
bool underCi();

// A fresh, empty temporary directory, inside this process's own folder under
// $TMPDIR (or the system's temporary folder): velmora-test-XXXXXX, made unique on first use and removed
// with everything in it when the process ends, whether its tests passed or not.
// (CTest also gives every test program a TMPDIR of its own, removed after it
// even if the program crashed: tests/support/needs-data.sh.)
std::string makeTempDir(const std::string& tag);

// Where a test leaves a file for a person to look at after a failure (a
// render, a screenshot): below the build's Testing/ folder, which outlives the
// run and belongs to this build alone.
std::string keptFile(const std::string& name);

// A file's whole contents ("" when it cannot be read).
std::string readFile(const std::string& path);

// How many entries a folder holds (a temporary file left behind shows here).
size_t entriesIn(const std::string& folder);

}  // namespace supporttest

// Ends a test that cannot run for want of files this machine lacks: skipped
// with the reason, or failed with it under CI. For GoogleTest cases (the
// header leaves gtest out: X11's None would clash with it where both are).
#define VELMORA_SKIP_UNLESS_CI(reason)                                                       \
  do {                                                                                       \
    if (supporttest::underCi()) GTEST_FAIL() << (reason) << "; under CI every test must run"; \
    GTEST_SKIP() << (reason);                                                                \
  } while (0)

// Ends a test that reads ../shared/testdata where that folder is missing.
#define VELMORA_NEEDS_TESTDATA()                                                                  \
  do {                                                                                            \
    if (!supporttest::haveTestdata())                                                             \
      VELMORA_SKIP_UNLESS_CI("third-party test data folder absent: " + supporttest::testdata("")); \
  } while (0)
