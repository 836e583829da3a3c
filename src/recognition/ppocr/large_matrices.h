#pragma once

namespace quillfen::ppocr {

// From here on, OpenCV's matrices of platform::kHugePageSize or more (the picture, its
// crops, the networks' layer outputs) get their data from platform::allocateLargeBuffer,
// in huge pages: OpenCV's DNN module allocates its layer outputs afresh for each input
// shape, and faulting them in 4 KiB at a time was a fifth of a photo's run. Called once
// per process, before PP-OCR runs; later calls do nothing. Matrices made before keep
// OpenCV's own allocator.
void useLargeMatrices();

}  // namespace quillfen::ppocr
