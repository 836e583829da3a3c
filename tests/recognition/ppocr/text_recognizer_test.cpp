#include "recognition/ppocr/text_recognizer.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <stdexcept>

#include "platform/process.h"
#include "recognition/picture/pix_ptr.h"
#include "recognition/ppocr/line_crop.h"
#include "recognition/ppocr/model_files.h"
#include "recognition/ppocr/pix_to_mat.h"
#include "recognition/ppocr/text_detector.h"
#include "support/run_binary.h"

namespace quillfen::ppocr {
namespace {

TEST(RecognizerWidth, BucketsHoldTheLineAndAreFew) {
  int previous = 0;
  std::vector<int> buckets;
  for (int width = 1; width <= 3000; ++width) {
    const int bucket = bucketWidth(width);
    EXPECT_GE(bucket, std::min(width, kMaxLineWidth)) << width;
    EXPECT_GE(bucket, previous) << width;
    EXPECT_EQ(bucket % 64, 0) << width;
    if (bucket != previous) buckets.push_back(bucket);
    previous = bucket;
  }
  EXPECT_EQ(buckets.front(), 64);
  EXPECT_EQ(buckets.back(), kMaxLineWidth);
  EXPECT_LE(buckets.size(), 21u);
  // Padding stays a modest share of a long line.
  EXPECT_EQ(bucketWidth(513), 640);
  EXPECT_EQ(bucketWidth(1500), 1536);
}

TEST(RecognizerWidth, InputWidthIsTheCropsWidthAtHeight48Bucketed) {
  EXPECT_EQ(recognizerInputWidth({300, 60}), bucketWidth(240));
  EXPECT_EQ(recognizerInputWidth({301, 60}), bucketWidth(241));  // rounded up
  EXPECT_EQ(recognizerInputWidth({10, 100}), 64);
  EXPECT_EQ(recognizerInputWidth({5000, 30}), kMaxLineWidth);
}

// A line crop: a background colour with a dark block of "ink" in its left half.
cv::Mat line(int width, int height, cv::Vec3b background) {
  cv::Mat crop(height, width, CV_8UC3, cv::Scalar(background[0], background[1], background[2]));
  crop(cv::Rect(width / 8, height / 4, width / 3, height / 2)).setTo(cv::Scalar(10, 20, 30));
  return crop;
}

float at(const cv::Mat& blob, int channel, int y, int x) { return blob.ptr<float>(0, channel)[y * blob.size[3] + x]; }

float normalised(int value) { return (static_cast<float>(value) / 255.0f - 0.5f) / 0.5f; }

TEST(RecognizerInput, HeightIs48WidthFollowsTheAspectAndPaddingIsTheBackground) {
  const cv::Vec3b background(200, 100, 50);  // BGR
  const cv::Mat blob = recognizerBlob(line(300, 60, background));
  ASSERT_EQ(blob.dims, 4);
  EXPECT_EQ(blob.size[0], 1);
  EXPECT_EQ(blob.size[1], 3);
  EXPECT_EQ(blob.size[2], 48);
  EXPECT_EQ(blob.size[3], bucketWidth(240));  // 300 × 48 / 60
  for (int c = 0; c < 3; ++c) {
    // Channels stay in BGR order; the padding past column 240 is the background.
    EXPECT_NEAR(at(blob, c, 5, 2), normalised(background[c]), 1e-5) << c;
    EXPECT_NEAR(at(blob, c, 20, 260), normalised(background[c]), 1e-5) << c;
    EXPECT_NEAR(at(blob, c, 24, 60), normalised(10 + 10 * c), 1e-5) << c;
  }
}

TEST(RecognizerInput, VeryLongLinesAreSqueezedToTheWidestInput) {
  const cv::Mat blob = recognizerBlob(line(4000, 40, {255, 255, 255}));
  EXPECT_EQ(blob.size[3], kMaxLineWidth);
  const cv::Mat tiny = recognizerBlob(line(3, 60, {255, 255, 255}));
  EXPECT_EQ(tiny.size[3], 64);
}

TEST(RecognizerWorkers, OnePerCoreCapped) {
  EXPECT_GE(recognizerWorkerCount(), 1);
  EXPECT_LE(recognizerWorkerCount(), kMaxRecognizerWorkers);
  EXPECT_LE(recognizerWorkerCount(), platform::usableProcessors());
}

// The built models and the lines the detector finds on a test picture, in detection order.
struct RealLines {
  Models models;
  cv::Mat picture;
  std::vector<TextBox> boxes;

  explicit RealLines(const std::string& name) {
    if (Status status = loadModels({QUILLFEN_PPOCR_MODEL_DIR}, &models); !status.ok()) {
      throw std::runtime_error(status.description());
    }
    const picture::PixPtr pix(pixRead(test_support::dataPath(name).c_str()));
    if (!pix) throw std::runtime_error("cannot read " + name);
    picture = bgrFromPix(pix.get());
    boxes = TextDetector(models.detector).detect(picture);
  }

  // The lines as sources, counting how often each crop is cut.
  std::vector<LineSource> sources(std::vector<std::atomic<int>>& cuts) const {
    std::vector<LineSource> lines;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      lines.push_back({cropSize(boxes[i]), [this, &cuts, i] {
                         ++cuts[i];
                         return cropTextBox(picture, boxes[i]);
                       }});
    }
    return lines;
  }

  RecognizerWorkers workers(int count) const {
    return {count, [this] { return loadNetworkCopy(models, kRecognizerFile); }};
  }
};

TEST(RecognizerOnPictures, ResultsComeBackInTheLinesOrderWhateverTheirWidths) {
  const RealLines real("two_columns.png");
  ASSERT_GE(real.boxes.size(), 6u);
  // The detection order is not the width order, so the lines are read in another order
  // than they are given in.
  std::vector<int> widths;
  for (const TextBox& box : real.boxes) widths.push_back(recognizerInputWidth(cropSize(box)));
  ASSERT_FALSE(std::is_sorted(widths.rbegin(), widths.rend()));

  // Each line read alone, one after the other, is what every batch must give back in place.
  TextRecognizer single(real.models.recognizer, real.models.dictionary);
  std::vector<std::string> alone;
  for (const TextBox& box : real.boxes) {
    DecodedText text;
    ASSERT_TRUE(single.recognize(cropTextBox(real.picture, box), &text).ok());
    alone.push_back(text.text);
  }
  ASSERT_GT(std::set<std::string>(alone.begin(), alone.end()).size(), real.boxes.size() / 2);

  for (int workers : {1, 2, 3}) {
    std::vector<std::atomic<int>> cuts(real.boxes.size());
    TextRecognizer recognizer(loadNetworkCopy(real.models, kRecognizerFile), real.models.dictionary,
                              real.workers(workers));
    std::vector<DecodedText> read;
    ASSERT_TRUE(recognizer.recognizeAll(real.sources(cuts), &read).ok());
    ASSERT_EQ(read.size(), alone.size()) << workers;
    for (std::size_t i = 0; i < alone.size(); ++i) {
      EXPECT_EQ(read[i].text, alone[i]) << "line " << i << ", " << workers << " workers";
      EXPECT_EQ(cuts[i].load(), 1) << "line " << i << ", " << workers << " workers";
    }
  }
}

TEST(RecognizerOnPictures, WorkersPutOpenCvsThreadsBackAndPassOnTheirErrors) {
  const RealLines real("mixed.png");
  ASSERT_GE(real.boxes.size(), 2u);
  const int threads = cv::getNumThreads();

  std::vector<std::atomic<int>> cuts(real.boxes.size());
  TextRecognizer recognizer(real.models.recognizer, real.models.dictionary, real.workers(2));
  std::vector<DecodedText> read;
  EXPECT_TRUE(recognizer.recognizeAll(real.sources(cuts), &read).ok());
  EXPECT_EQ(read.size(), real.boxes.size());
  EXPECT_EQ(cv::getNumThreads(), threads);

  // A second worker whose network does not load: the exception reaches the caller, after
  // the first worker has stopped too.
  RecognizerWorkers broken{2, []() -> cv::dnn::Net { throw std::runtime_error("no second network"); }};
  TextRecognizer failing(real.models.recognizer, real.models.dictionary, std::move(broken));
  EXPECT_THROW((void)failing.recognizeAll(real.sources(cuts), &read), std::runtime_error);
  EXPECT_EQ(cv::getNumThreads(), threads);
  // One that loads nothing, and a recogniser whose dictionary is not its own: failures.
  TextRecognizer empty(real.models.recognizer, real.models.dictionary, {2, [] { return cv::dnn::Net(); }});
  EXPECT_EQ(empty.recognizeAll(real.sources(cuts), &read).code(), Status::Code::recognitionFailed);
  TextRecognizer mismatched(real.models.recognizer, {"a", "b"}, real.workers(2));
  EXPECT_EQ(mismatched.recognizeAll(real.sources(cuts), &read).code(), Status::Code::recognitionFailed);
  EXPECT_EQ(cv::getNumThreads(), threads);

  // Nothing to read, nothing loaded.
  EXPECT_TRUE(failing.recognizeAll({}, &read).ok());
  EXPECT_TRUE(read.empty());
}

}  // namespace
}  // namespace quillfen::ppocr
