// Once useLargeMatrices has run, OpenCV's large matrices come from allocateLargeBuffer
// (seen by their huge-page alignment) and behave as before.
#include "recognition/ppocr/large_matrices.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <cstdint>

#include "platform/large_memory.h"

namespace quillfen::ppocr {
namespace {

bool onHugePage(const void* data) { return reinterpret_cast<std::uintptr_t>(data) % platform::kHugePageSize == 0; }

TEST(LargeMatrices, MatricesMadeAfterwardsUseThemAndWorkBesideOlderOnes) {
  const cv::Mat before(3000, 4000, CV_8UC3, cv::Scalar(1, 2, 3));
  useLargeMatrices();
  useLargeMatrices();  // a second call changes nothing

  cv::Mat large(3000, 4000, CV_8UC3, cv::Scalar(7, 8, 9));
  EXPECT_TRUE(onHugePage(large.data));
  EXPECT_EQ(large.at<cv::Vec3b>(2999, 3999), cv::Vec3b(7, 8, 9));
  cv::Mat sum = large + before;  // a matrix from before is still read and released as OpenCV's own
  EXPECT_TRUE(onHugePage(sum.data));
  EXPECT_EQ(sum.at<cv::Vec3b>(1500, 2000), cv::Vec3b(8, 10, 12));
  const int dims[4] = {1, 3, 1024, 896};  // a detector input blob
  cv::Mat blob(4, dims, CV_32F, cv::Scalar(0.25));
  EXPECT_TRUE(onHugePage(blob.data));
  EXPECT_DOUBLE_EQ(cv::sum(blob)[0], 0.25 * 3 * 1024 * 896);
  const cv::Mat small(10, 10, CV_32F, cv::Scalar(0.5));
  EXPECT_DOUBLE_EQ(cv::sum(small)[0], 50.0);
  float outside[4] = {1, 2, 3, 4};
  const cv::Mat borrowed(2, 2, CV_32F, outside);  // data the matrix does not own stays where it is
  EXPECT_EQ(borrowed.ptr<float>(), outside);
}

TEST(LargeMatrices, AMatrixTheSystemRefusesIsOpenCvsOutOfMemoryError) {
  useLargeMatrices();
  try {
    const cv::Mat huge(1 << 21, 1 << 21, CV_8UC1);  // four terabytes
    FAIL() << "allocated " << huge.total() << " bytes";
  } catch (const cv::Exception& e) {
    EXPECT_EQ(e.code, cv::Error::StsNoMem);
  }
}

}  // namespace
}  // namespace quillfen::ppocr
