// What `velmora` settles before it opens its window: --help and --version,
// and whether the working folder holds the data/ it reads.
#pragma once

// The program's answer to --help.
extern const char* const VELMORA_USAGE;

// Answers --help and --version on stdout; refuses, in one line on stderr, an
// argument that is neither one of those nor one of GLUT's own options, or a
// working folder without data/. Returns the status to exit with then, or -1
// when the scene should start; GLUT's options are left for glutInit.
int checkBeforeWindow(int argc, char** argv);
