#pragma once

#include <cstdlib>
#include <unistd.h>

// Tesseract's OpenMP threads make recognition several times slower on small
// machines, and the thread limit is read only when the process starts: a
// benchmark that recognises text restarts itself once with the limit set, as
// the scanner does, unless the caller chose one.
inline void oneRecognitionThread(char** argv) {
    if (std::getenv("OMP_THREAD_LIMIT") != nullptr) return;
    ::setenv("OMP_THREAD_LIMIT", "1", 1);
    ::execv("/proc/self/exe", argv);  // returns only on failure: carry on with the default threads
}
