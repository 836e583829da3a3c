#pragma once

namespace quillfen::platform {

// Runs before any shared library's initialisers (main.cpp places it in .preinit_array),
// so that nothing a library does at load time reaches the caller:
// - every OMP_* and GOMP_* variable is removed from the environment. libgomp, loaded for
//   Tesseract, parses them as it loads and writes its complaints about odd values (or, with
//   OMP_DISPLAY_ENV, its whole settings) to standard error; the tool sets the one OpenMP
//   value it needs at run time (Tesseract on one thread), so the caller's values would
//   change nothing but that output.
// - standard error is pointed at /dev/null until finishEarlyStart() puts it back, so any
//   other library's load-time text is dropped as well.
// Uses no heap and no locale: the C library is not fully set up this early.
void beginEarlyStart(char** environment);

// Gives standard error back to the caller. Called first thing in main.
void finishEarlyStart();

}  // namespace quillfen::platform
