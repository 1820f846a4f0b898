// An X display for the programs that render offscreen: when none answers, the
// program runs itself again under a private Xvfb, so that it works on a server
// without a screen.
#pragma once

#include <string>

// Returns true when an X display answers (its connection stays open). When none
// does, runs this very command again under xvfb-run and does not return; when
// that cannot be done, prints one line starting with `tool` that says what to
// install and returns false.
bool ensureDisplay(const char* tool, char** argv);

// The running program's own file (from /proc/self/exe); empty when unknown.
std::string executablePath();
