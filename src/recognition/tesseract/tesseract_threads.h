#pragma once

namespace quillfen::tess {

// Makes Tesseract's OpenMP parallel regions run on the calling thread alone. Debian's
// Tesseract asks OpenMP for several threads per LSTM step; on a 2-core machine their
// spinning and hand-offs cost far more than they save (the benchmark: the same text in
// about a sixth of the time). Does nothing when Tesseract runs without OpenMP.
void runTesseractOnOneThread();

}  // namespace quillfen::tess
