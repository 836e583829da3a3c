#include "platform/ppocr/ppocr_engine.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <variant>

#include "platform/leptonica_image.h"
#include "platform/picture_decoder.h"
#include "platform/ppocr/line_crop.h"
#include "platform/ppocr/line_direction.h"
#include "platform/ppocr/model_files.h"
#include "platform/ppocr/pix_to_mat.h"
#include "platform/ppocr/text_detector.h"
#include "platform/ppocr/text_lines.h"
#include "platform/ppocr/text_recognizer.h"
#include "platform/quiet_standard_error.h"

namespace quillfen::platform::ppocr {
namespace {

// PaddleOCR's own cut-off: boxes read with less confidence are mostly texture or noise.
constexpr float kMinBoxConfidence = 0.5f;

std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

struct LineReading {
  DecodedText decoded;
  bool upsideDown = false;
};

// Reads one line crop, turned first when the classifier finds it upside down.
LineReading readLine(const cv::Mat& crop, DirectionClassifier& direction, TextRecognizer& recognizer) {
  if (direction.isUpsideDown(crop)) {
    cv::Mat turned;
    cv::rotate(crop, turned, cv::ROTATE_180);
    return {recognizer.recognize(turned), true};
  }
  return {recognizer.recognize(crop), false};
}

class PpocrHandler final : public ImageRequestHandler {
 public:
  PpocrHandler(std::unique_ptr<DecodedImage> image, const std::vector<std::string>& modelFolders)
      : image_(std::move(image)), modelFolders_(modelFolders) {}

  Status perform(TextRecognitionRequest& request) override {
    QuietStandardError quiet;
    auto loaded = loadModels(modelFolders_);
    if (auto* error = std::get_if<Status>(&loaded)) return *error;
    Models& models = std::get<Models>(loaded);
    try {
      return read(models, request);
    } catch (const DictionaryMismatch&) {
      return Status::error("模型文件 " + models.folder + "/" + kDictionaryFile + " 与 " + kRecognizerFile +
                           " 不配套；" + restoreAdvice());
    } catch (const cv::Exception& e) {
      return Status::error("OpenCV 运行 PP-OCR 模型出错（" + oneLine(e.err) + "），模型文件可能已损坏；" +
                           restoreAdvice());
    } catch (const std::exception& e) {
      return Status::error(std::string("PP-OCR 识别失败：") + oneLine(e.what()));
    }
  }

 private:
  Status read(Models& models, TextRecognitionRequest& request) {
    const cv::Mat picture = bgrFromPix(static_cast<LeptonicaImage*>(image_.get())->pix());
    if (picture.empty()) return Status::error("图片无法转换为 RGB 像素");

    // OpenCV runs each layer on as many threads as there are CPUs (Debian builds it with
    // TBB), so both cores are used without a cv::setNumThreads call.
    TextDetector detector(models.detector);
    TextRecognizer recognizer(models.recognizer, models.dictionary);
    DirectionClassifier direction(models.classifier);
    std::vector<ReadBox> read;
    std::size_t upsideDown = 0;
    for (const TextBox& box : detector.detect(picture)) {
      const cv::Mat crop = cropTextBox(picture, box);
      LineReading best = readLine(crop, direction, recognizer);
      // A tall crop is a line on its side or a narrow single character: keep the
      // reading PaddleOCR's quarter turn gives only when it is the more confident one.
      if (mayRunVertically(crop)) {
        cv::Mat turned;
        cv::rotate(crop, turned, cv::ROTATE_90_COUNTERCLOCKWISE);
        LineReading other = readLine(turned, direction, recognizer);
        if (other.decoded.confidence() > best.decoded.confidence()) best = std::move(other);
      }
      if (best.decoded.confidence() < kMinBoxConfidence) continue;
      upsideDown += best.upsideDown;
      read.push_back({box.bounds(), std::move(best.decoded)});
    }
    // A page whose lines are mostly upside down is read the way its text runs: from the
    // picture's bottom right.
    if (2 * upsideDown > read.size()) {
      for (ReadBox& box : read) {
        box.bounds.x = static_cast<float>(picture.cols) - box.bounds.x - box.bounds.width;
        box.bounds.y = static_cast<float>(picture.rows) - box.bounds.y - box.bounds.height;
      }
    }
    request.setResults(lineObservations(read));
    return Status::ok();
  }

  std::unique_ptr<DecodedImage> image_;
  std::vector<std::string> modelFolders_;
};

}  // namespace

PpocrEngine::PpocrEngine(std::vector<std::string> modelFolders) : modelFolders_(std::move(modelFolders)) {}

std::unique_ptr<DecodedImage> PpocrEngine::decodeImage(const std::string& path) const {
  QuietStandardError quiet;
  return decodePicture(path);
}

std::unique_ptr<ImageRequestHandler> PpocrEngine::makeHandler(std::unique_ptr<DecodedImage> image) const {
  return std::make_unique<PpocrHandler>(std::move(image), modelFolders_);
}

}  // namespace quillfen::platform::ppocr
