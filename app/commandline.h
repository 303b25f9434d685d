#pragma once

// `quillmere --version` and `quillmere --help` print and end before anything
// else happens: no application object, no barograph.ini, no lock, no folder.
// The exit status, or -1 when the program is to run.
int answerCommandLine(int argc, char *argv[]);
