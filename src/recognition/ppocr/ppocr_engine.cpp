#include "recognition/ppocr/ppocr_engine.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <new>
#include <variant>

#include "recognition/picture/leptonica_image.h"
#include "recognition/picture/picture_decoder.h"
#include "recognition/ppocr/line_crop.h"
#include "recognition/ppocr/model_files.h"
#include "recognition/ppocr/pix_to_mat.h"
#include "recognition/ppocr/text_detector.h"
#include "recognition/ppocr/text_lines.h"
#include "recognition/ppocr/text_recognizer.h"
#include "platform/quiet_standard_error.h"
#include "recognition/out_of_memory.h"

namespace quillfen::ppocr {

using picture::LeptonicaImage;
using platform::QuietStandardError;
namespace {

// PaddleOCR's own cut-off: boxes read with less confidence are mostly texture or noise.
constexpr float kMinBoxConfidence = 0.5f;

class PpocrHandler final : public ImageRequestHandler {
 public:
  // The picture is kept only as OpenCV pixels: a 4000 × 3000 photo's Leptonica copy is
  // another 48 MB that nothing reads again.
  // (The conversion happens in perform, where running out of memory is reported.)
  PpocrHandler(std::unique_ptr<DecodedImage> image, const std::vector<std::string>& modelFolders)
      : image_(std::move(image)), modelFolders_(modelFolders) {}

  Status perform(TextRecognitionRequest& request) override {
    QuietStandardError quiet;
    // Every allocation failure ends here, OpenCV's (a cv::Exception with StsNoMem) as
    // well as ours and the model parser's (std::bad_alloc).
    std::string folder;
    try {
      if (image_) picture_ = bgrFromPix(static_cast<LeptonicaImage*>(image_.get())->pix());
      image_.reset();
      if (picture_.empty()) return Status::error("图片无法转换为 RGB 像素");
      auto loaded = loadModels(modelFolders_);
      if (auto* error = std::get_if<Status>(&loaded)) return *error;
      Models& models = std::get<Models>(loaded);
      folder = models.folder;
      return read(models, request);
    } catch (const DictionaryMismatch&) {
      return Status::error("模型文件 " + folder + "/" + kDictionaryFile + " 与 " + kRecognizerFile +
                           " 不配套；" + restoreAdvice());
    } catch (const std::bad_alloc&) {
      return Status::error(outOfMemoryDescription);
    } catch (const cv::Exception& e) {
      if (e.code == cv::Error::StsNoMem) return Status::error(outOfMemoryDescription);
      return Status::error("OpenCV 运行 PP-OCR 模型出错（" + oneLine(e.err) + "），模型文件可能已损坏；" +
                           restoreAdvice());
    } catch (const std::exception& e) {
      return Status::error(std::string("PP-OCR 识别失败：") + oneLine(e.what()));
    }
  }

 private:
  Status read(Models& models, TextRecognitionRequest& request) {

    // OpenCV runs each layer on as many threads as there are CPUs (Debian builds it with
    // TBB), so both cores are used without a cv::setNumThreads call.
    TextDetector detector(models.detector);
    TextRecognizer recognizer(models.recognizer, models.dictionary);
    // PaddleOCR's direction classifier is left out: it squeezes a line into 192 pixels,
    // and on long lines of upright text it often calls them upside down (6 of 10 lines of
    // one screenshot), so turning them costs far more than the rare upside-down line
    // gains (the benchmark's ten worst pictures: 21.8 % character errors with it, 0.13 %
    // without).
    std::vector<ReadBox> read;
    for (const TextBox& box : detector.detect(picture_)) {
      const cv::Mat crop = cropTextBox(picture_, box);
      DecodedText best = recognizer.recognize(crop);
      // A tall crop is a line on its side or a narrow single character: keep the
      // reading PaddleOCR's quarter turn gives only when it is the more confident one.
      if (mayRunVertically(crop)) {
        cv::Mat turned;
        cv::rotate(crop, turned, cv::ROTATE_90_COUNTERCLOCKWISE);
        DecodedText other = recognizer.recognize(turned);
        if (other.confidence() > best.confidence()) best = std::move(other);
      }
      if (best.confidence() < kMinBoxConfidence) continue;
      read.push_back({box.bounds(), std::move(best)});
    }
    request.setResults(lineObservations(read));
    return Status::ok();
  }

  std::unique_ptr<DecodedImage> image_;  // until perform has picture_
  cv::Mat picture_;
  std::vector<std::string> modelFolders_;
};

}  // namespace

PpocrEngine::PpocrEngine(std::vector<std::string> modelFolders) : modelFolders_(std::move(modelFolders)) {}

std::unique_ptr<DecodedImage> PpocrEngine::decodeImage(const std::string& path) const {
  QuietStandardError quiet;
  return picture::decodePicture(path);
}

std::unique_ptr<ImageRequestHandler> PpocrEngine::makeHandler(std::unique_ptr<DecodedImage> image) const {
  return std::make_unique<PpocrHandler>(std::move(image), modelFolders_);
}

}  // namespace quillfen::ppocr
