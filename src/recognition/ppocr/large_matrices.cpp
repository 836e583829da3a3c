#include "recognition/ppocr/large_matrices.h"

#include <opencv2/core.hpp>

#include <mutex>

#include "platform/large_memory.h"

namespace quillfen::ppocr {
namespace {

// OpenCV's own allocator, but with the data of a matrix of a huge page or more from
// allocateLargeBuffer. Smaller matrices stay with OpenCV's (they are many and short-lived).
class LargeMatrixAllocator final : public cv::MatAllocator {
 public:
  cv::UMatData* allocate(int dims, const int* sizes, int type, void* data, size_t* step, cv::AccessFlag flags,
                         cv::UMatUsageFlags usage) const override {
    // The byte count and the steps, as OpenCV's allocator works them out.
    size_t total = CV_ELEM_SIZE(type);
    for (int i = dims - 1; i >= 0; --i) {
      if (step != nullptr) {
        if (data != nullptr && step[i] != cv::Mat::AUTO_STEP) {
          total = step[i];
        } else {
          step[i] = total;
        }
      }
      total *= static_cast<size_t>(sizes[i]);
    }
    if (data != nullptr || total < platform::kHugePageSize) {
      return cv::Mat::getStdAllocator()->allocate(dims, sizes, type, data, step, flags, usage);
    }
    auto* u = new cv::UMatData(this);
    void* buffer = platform::allocateLargeBuffer(total);
    if (buffer == nullptr) {
      delete u;
      CV_Error(cv::Error::StsNoMem, "large buffer refused");
    }
    u->data = u->origdata = static_cast<uchar*>(buffer);
    u->size = total;
    return u;
  }

  bool allocate(cv::UMatData* u, cv::AccessFlag, cv::UMatUsageFlags) const override { return u != nullptr; }

  void deallocate(cv::UMatData* u) const override {
    if (u == nullptr) return;
    platform::releaseLargeBuffer(u->origdata, u->size);
    delete u;
  }
};

}  // namespace

void useLargeMatrices() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Never destroyed: matrices released while the process exits still reach it.
    static LargeMatrixAllocator* const allocator = new LargeMatrixAllocator;
    cv::Mat::setDefaultAllocator(allocator);
  });
}

}  // namespace quillfen::ppocr
