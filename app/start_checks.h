// What `velmora` settles before it opens its window: --help and --version,
// and whether the working folder holds the data/ it reads.
#pragma once

// The program's answer to --help.
extern const char* const VELMORA_USAGE;

// Answers --help and --version on stdout, or says on stderr, in one line, that
// the working folder has no data/. Returns the status to exit with then, or -1
// when the scene should start; every other argument is left for GLUT.
int checkBeforeWindow(int argc, char** argv);
