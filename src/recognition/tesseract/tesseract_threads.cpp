#include "recognition/tesseract/tesseract_threads.h"

#include <dlfcn.h>

namespace quillfen::tess {

void runTesseractOnOneThread() {
  // Looked up at run time: the OpenMP runtime is Tesseract's dependency, not ours, and its
  // header is not part of every compiler's installation. A maximum of 0 active levels makes
  // every parallel region inactive, so it runs on the thread that meets it.
  using SetMaxActiveLevels = void (*)(int);
  if (auto set = reinterpret_cast<SetMaxActiveLevels>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"))) set(0);
}

}  // namespace quillfen::tess
