#include "recognition/ppocr/ppocr_engine.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>


#include "recognition/picture/leptonica_image.h"
#include "recognition/ppocr/error_text.h"
#include "recognition/orientation/page_orientation.h"
#include "recognition/ppocr/direction_classifier.h"
#include "recognition/ppocr/line_crop.h"
#include "recognition/ppocr/model_files.h"
#include "recognition/ppocr/page_turn.h"
#include "recognition/ppocr/pix_to_mat.h"
#include "recognition/ppocr/text_detector.h"
#include "recognition/ppocr/text_lines.h"
#include "recognition/ppocr/text_recognizer.h"
#include "platform/quiet_standard_error.h"

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
  PpocrHandler(std::unique_ptr<DecodedImage> image, const std::vector<std::string>& modelFolders)
      : picture_(image ? bgrFromPix(static_cast<LeptonicaImage*>(image.get())->pix()) : cv::Mat()),
        modelFolders_(modelFolders) {}

  Status perform(TextRecognitionRequest& request) override {
    QuietStandardError quiet;
    Models models;
    if (Status status = loadModels(modelFolders_, &models); !status.ok()) return status;
    try {
      return read(models, request);
    } catch (const DictionaryMismatch&) {
      return Status::recognitionFailed("模型文件 " + models.folder + "/" + kDictionaryFile + " 与 " + kRecognizerFile +
                           " 不配套；" + restoreAdvice());
    } catch (const cv::Exception& e) {
      return Status::recognitionFailed("OpenCV 运行 PP-OCR 模型出错（" + oneLine(e.err) + "），模型文件可能已损坏；" +
                           restoreAdvice());
    } catch (const std::exception& e) {
      return Status::recognitionFailed(std::string("PP-OCR 识别失败：") + oneLine(e.what()));
    }
  }

 private:
  Status read(Models& models, TextRecognitionRequest& request) {
    if (picture_.empty()) return Status::recognitionFailed("图片无法转换为 RGB 像素");

    // OpenCV runs each layer on as many threads as there are CPUs (Debian builds it with
    // TBB), so both cores are used without a cv::setNumThreads call.
    TextDetector detector(models.detector);
    TextRecognizer recognizer(models.recognizer, models.dictionary);
    DirectionClassifier classifier(models.classifier);
    std::vector<LineEvidence> evidence;
    Observations lines = lineObservations(readPage(detector, recognizer, picture_, &evidence));
    // A turned page: read it again upright, and keep that reading only when it is clearly
    // the more confident one, so that an upright page is never turned by a wrong guess.
    if (auto turn = pageTurn(evidence, recognizer, classifier)) {
      Observations turned = lineObservations(readPage(detector, recognizer, turnedUpright(picture_, *turn), nullptr));
      if (orientation::turnedReadingWins(orientation::readingConfidence(lines), orientation::readingConfidence(turned),
                                          *turn)) {
        lines = std::move(turned);
      }
    }
    request.setResults(std::move(lines));
    return Status();
  }

  // The boxes read on one picture; when evidence is given, each detected line as well.
  static std::vector<ReadBox> readPage(TextDetector& detector, TextRecognizer& recognizer, const cv::Mat& picture,
                                       std::vector<LineEvidence>* evidence) {
    // PaddleOCR's direction classifier does not turn single lines: it squeezes a line into
    // 192 pixels, and on long lines of upright text it often calls them upside down (6 of
    // 10 lines of one screenshot), so turning them costs far more than the rare upside-down
    // line gains (the benchmark's ten worst pictures: 21.8 % character errors with it,
    // 0.13 % without). It only votes on the page as a whole (page_turn.h).
    std::vector<ReadBox> read;
    for (const TextBox& box : detector.detect(picture)) {
      const cv::Mat crop = cropTextBox(picture, box);
      DecodedText best = recognizer.recognize(crop);
      LineEvidence line{crop, best.confidence()};
      // A tall crop is a line on its side or a narrow single character: keep the
      // reading PaddleOCR's quarter turn gives only when it is the more confident one.
      if (mayRunVertically(crop)) {
        cv::Mat turned;
        cv::rotate(crop, turned, cv::ROTATE_90_COUNTERCLOCKWISE);
        DecodedText other = recognizer.recognize(turned);
        line.counterClockwiseConfidence = other.confidence();
        if (other.confidence() > best.confidence()) best = std::move(other);
      }
      if (evidence) evidence->push_back(std::move(line));
      if (best.confidence() < kMinBoxConfidence) continue;
      read.push_back({box.bounds(), std::move(best)});
    }
    return read;
  }

  cv::Mat picture_;
  std::vector<std::string> modelFolders_;
};

}  // namespace

PpocrEngine::PpocrEngine(std::vector<std::string> modelFolders) : modelFolders_(std::move(modelFolders)) {}

std::unique_ptr<ImageRequestHandler> PpocrEngine::makeHandler(std::unique_ptr<DecodedImage> image) const {
  return std::make_unique<PpocrHandler>(std::move(image), modelFolders_);
}

}  // namespace quillfen::ppocr
