#include "recognition/ppocr/ppocr_engine.h"

#include <leptonica/allheaders.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <new>
#include <optional>
#include <utility>

#include "platform/quiet_standard_error.h"
#include "recognition/layout/reading_scale.h"
#include "recognition/orientation/page_orientation.h"
#include "recognition/out_of_memory.h"
#include "recognition/picture/leptonica_image.h"
#include "recognition/picture/picture_decoder.h"
#include "recognition/ppocr/direction_classifier.h"
#include "recognition/ppocr/error_text.h"
#include "recognition/ppocr/gutter_pieces.h"
#include "recognition/ppocr/layout_copy.h"
#include "recognition/ppocr/line_crop.h"
#include "recognition/ppocr/model_files.h"
#include "recognition/ppocr/model_loading.h"
#include "recognition/ppocr/page_turn.h"
#include "recognition/ppocr/pix_to_mat.h"
#include "recognition/ppocr/text_detector.h"
#include "recognition/ppocr/text_lines.h"
#include "recognition/ppocr/text_recognizer.h"

namespace quillfen::ppocr {

using picture::LeptonicaImage;
using platform::QuietStandardError;
namespace {

// PaddleOCR's own cut-off: boxes read with less confidence are mostly texture or noise.
constexpr float kMinBoxConfidence = 0.5f;

// A decoded picture and its models: loaded while it decoded, or still to load.
class PpocrImage final : public DecodedImage {
 public:
  PpocrImage(std::unique_ptr<LeptonicaImage> picture, std::unique_ptr<ModelLoading> models)
      : picture_(std::move(picture)), models_(std::move(models)) {}
  Pix* pix() const { return picture_->pix(); }
  ModelLoading& models() const { return *models_; }
  void releasePicture() { picture_.reset(); }

 private:
  std::unique_ptr<LeptonicaImage> picture_;
  std::unique_ptr<ModelLoading> models_;
};

class PpocrHandler final : public ImageRequestHandler {
 public:
  // The picture is kept only as OpenCV pixels: a 4000 × 3000 photo's Leptonica copy is
  // another 48 MB that nothing reads again.
  // (The conversion happens in perform, where running out of memory is reported.)
  explicit PpocrHandler(std::unique_ptr<DecodedImage> image) : image_(static_cast<PpocrImage*>(image.release())) {}

  Status perform(TextRecognitionRequest& request) override {
    QuietStandardError quiet;
    // Every allocation failure ends here, OpenCV's (a cv::Exception with StsNoMem) as
    // well as ours and the model parser's (std::bad_alloc).
    std::string folder;
    try {
      if (!image_) return Status::recognitionFailed("图片无法转换为 RGB 像素");
      Models models;
      {
        Pix* pix = image_->pix();
        // Small print is read enlarged; the layout that measured it orders the lines later.
        // The models load while the page is measured in its child process (they are loaded
        // already for a picture too large to be measured).
        layout::SmallPrintMeasurement measurement(pix);
        if (Status status = image_->models().take(&models); !status.ok()) return status;
        layout::SmallPrint smallPrint = measurement.finish();
        measuredLayout_ = std::move(smallPrint.layout);
        enlargement_ = smallPrint.enlargement;
        if (smallPrint.enlarged) pix = smallPrint.enlarged.get();
        stored_ = storedFormOf(pix);
        picture_ = bgrFromPix(pix);
      }
      image_->releasePicture();
      if (picture_.empty()) return Status::recognitionFailed("图片无法转换为 RGB 像素");
      folder = models.folder;
      // The recogniser's own failures mean its output does not fit the dictionary or the
      // network: the files are not a pair.
      if (Status status = read(models, request); !status.ok()) {
        return Status::recognitionFailed("模型文件 " + folder + "/" + kDictionaryFile + " 与 " + kRecognizerFile +
                                         " 不配套（" + status.description() + "）；" + restoreAdvice());
      }
      return Status();
    } catch (const std::bad_alloc&) {
      return Status::recognitionFailed(outOfMemoryDescription);
    } catch (const cv::Exception& e) {
      if (e.code == cv::Error::StsNoMem) return Status::recognitionFailed(outOfMemoryDescription);
      return Status::recognitionFailed("OpenCV 运行 PP-OCR 模型出错（" + oneLine(e.err) + "），模型文件可能已损坏；" +
                                       restoreAdvice());
    } catch (const std::exception& e) {
      if (saysOutOfMemory(e)) return Status::recognitionFailed(outOfMemoryDescription);
      return Status::recognitionFailed(std::string("PP-OCR 识别失败：") + oneLine(e.what()));
    }
  }

 private:
  Status read(Models& models, TextRecognitionRequest& request) {
    // OpenCV runs each layer on as many threads as there are CPUs (Debian builds it with
    // TBB), so the detector uses every core without a cv::setNumThreads call; the
    // recogniser reads lines side by side instead.
    RecognizerWorkers workers;
    workers.count = recognizerWorkerCount();
    workers.loadNetwork = [&models] { return loadNetworkCopy(models, kRecognizerFile); };
    TextRecognizer recognizer(models.recognizer, models.dictionary, std::move(workers));
    DirectionClassifier classifier(models.classifier);
    std::vector<LineEvidence> evidence;
    std::vector<ReadBox> read;
    if (Status status = readPage(models, recognizer, picture_, &read, &evidence); !status.ok()) return status;
    // The layout is analysed once the lines' size is known, which decides its scale.
    const layout::PageLayout pageLayout =
        analyseLayoutAtTextSize(picture_, stored_, read, enlargement_, measuredLayout_ ? &*measuredLayout_ : nullptr);
    if (Status status = readAcrossGutters(picture_, pageLayout, recognizer, kMinBoxConfidence, &read); !status.ok())
      return status;
    Observations lines = lineObservations(std::move(read), pageLayout);
    // A turned page: read it again upright, and keep that reading only when it is clearly
    // the more confident one, so that an upright page is never turned by a wrong guess.
    // The layout of a page on its side says nothing about its columns: it is analysed
    // again on the page turned upright.
    std::optional<orientation::Orientation> turn;
    if (Status status = pageTurn(evidence, recognizer, classifier, &turn); !status.ok()) return status;
    if (turn) {
      const cv::Mat upright = turnedUpright(picture_, *turn);
      std::vector<ReadBox> readUpright;
      if (Status status = readPage(models, recognizer, upright, &readUpright, nullptr); !status.ok()) return status;
      StoredForm storedUpright = stored_;
      if (*turn != orientation::Orientation::upsideDown)
        std::swap(storedUpright.resolution.x, storedUpright.resolution.y);
      const layout::PageLayout uprightLayout =
          analyseLayoutAtTextSize(upright, storedUpright, readUpright, enlargement_);
      if (Status status = readAcrossGutters(upright, uprightLayout, recognizer, kMinBoxConfidence, &readUpright);
          !status.ok())
        return status;
      Observations turned = lineObservations(std::move(readUpright), uprightLayout);
      if (orientation::turnedReadingWins(orientation::readingConfidence(lines), orientation::readingConfidence(turned),
                                         *turn)) {
        lines = std::move(turned);
      }
    }
    request.setResults(std::move(lines));
    return Status();
  }

  // The boxes read on one picture; when evidence is given, each detected line as well
  // (which must not outlive the picture and the detector's boxes: it crops on demand).
  Status readPage(Models& models, TextRecognizer& recognizer, const cv::Mat& picture, std::vector<ReadBox>* read,
                  std::vector<LineEvidence>* evidence) {
    // PaddleOCR's direction classifier does not turn single lines: it squeezes a line into
    // 192 pixels, and on long lines of upright text it often calls them upside down (6 of
    // 10 lines of one screenshot), so turning them costs far more than the rare upside-down
    // line gains (the benchmark's ten worst pictures: 21.8 % character errors with it,
    // 0.13 % without). It only votes on the page as a whole (page_turn.h).
    // The detector's network lives only while it detects: it holds the outputs of its
    // layers (80-90 MB on a page) for as long as it lives, and the recogniser's workers
    // need that memory next. A second page (the picture turned upright) loads it again.
    {
      cv::dnn::Net detectorNet = models.detector.empty() ? loadNetworkCopy(models, kDetectorFile) : models.detector;
      models.detector = cv::dnn::Net();
      CV_Assert(!detectorNet.empty());
      boxes_ = TextDetector(detectorNet).detect(picture);
    }
    const std::vector<TextBox>& boxes = boxes_;
    // Each box is read as it stands. A tall one is a line on its side or a narrow single
    // character: it is read a quarter turn too, and that reading (PaddleOCR's) is kept
    // only when it is the more confident one.
    struct BoxLines {
      std::size_t upright;
      std::optional<std::size_t> quarterTurn;
    };
    std::vector<LineSource> lines;
    std::vector<BoxLines> boxLines;
    for (const TextBox& box : boxes) {
      const cv::Size size = cropSize(box);
      boxLines.push_back({lines.size(), std::nullopt});
      lines.push_back({size, [&picture, &box] { return cropTextBox(picture, box); }});
      if (mayRunVertically(size)) {
        boxLines.back().quarterTurn = lines.size();
        lines.push_back({{size.height, size.width}, [&picture, &box] {
                           cv::Mat turned;
                           cv::rotate(cropTextBox(picture, box), turned, cv::ROTATE_90_COUNTERCLOCKWISE);
                           return turned;
                         }});
      }
    }
    std::vector<DecodedText> readings;
    if (Status status = recognizer.recognizeAll(lines, &readings); !status.ok()) return status;

    for (std::size_t b = 0; b < boxes.size(); ++b) {
      DecodedText& best = readings[boxLines[b].upright];
      const TextBox& box = boxes[b];
      LineEvidence line{lines[boxLines[b].upright].size, [&picture, &box] { return cropTextBox(picture, box); },
                        best.confidence()};
      if (const auto turned = boxLines[b].quarterTurn) {
        line.counterClockwiseConfidence = readings[*turned].confidence();
        if (readings[*turned].confidence() > best.confidence()) best = std::move(readings[*turned]);
      }
      if (evidence) evidence->push_back(std::move(line));
      if (best.confidence() < kMinBoxConfidence) continue;
      read->push_back({box, std::move(best)});
    }
    return Status();
  }

  StoredForm stored_;
  float enlargement_ = 1;                             // how much the picture was enlarged for small print
  std::optional<layout::PageLayout> measuredLayout_;  // the stored picture's, when it was measured for that
  std::vector<TextBox> boxes_;                        // the last page read's, which its evidence crops from
  std::unique_ptr<PpocrImage> image_;                 // its picture until perform has picture_
  cv::Mat picture_;
};

}  // namespace

PpocrEngine::PpocrEngine(std::vector<std::string> modelFolders) : modelFolders_(std::move(modelFolders)) {}

std::unique_ptr<DecodedImage> PpocrEngine::decodeImage(const std::string& path) const {
  // The models load beside the decoding of a picture too large to be measured for small
  // print. A smaller one is measured in a child process, and its models load after that
  // fork, while the child runs: loaded before it, the whole reading after it was slower
  // (every page the process writes again faults: 0.05-0.1 s on a receipt).
  // One quiet window for both threads: it is process-wide, and either library may print.
  // The loading thread has ended before this returns, since child processes must be
  // started from a single thread (platform/child_process.h).
  QuietStandardError quiet;
  auto models = std::make_unique<ModelLoading>(modelFolders_);
  std::unique_ptr<LeptonicaImage> picture =
      picture::decodePicture(path, [&models](std::uint64_t width, std::uint64_t height) {
        if (!layout::measuredForSmallPrint(width, height)) models->start();
      });
  models->wait();
  if (!picture) return nullptr;
  return std::make_unique<PpocrImage>(std::move(picture), std::move(models));
}

std::unique_ptr<ImageRequestHandler> PpocrEngine::makeHandler(std::unique_ptr<DecodedImage> image) const {
  return std::make_unique<PpocrHandler>(std::move(image));
}

}  // namespace quillfen::ppocr
