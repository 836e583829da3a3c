#include "recognition/tesseract/tesseract_engine.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>
#include <optional>

#include "platform/quiet_standard_error.h"
#include "recognition/layout/page_columns.h"
#include "recognition/layout/page_layout.h"
#include "recognition/layout/reading_scale.h"
#include "recognition/layout/tables_in_place.h"
#include "recognition/median.h"
#include "recognition/orientation/orientation_check.h"
#include "recognition/orientation/page_orientation.h"
#include "recognition/out_of_memory.h"
#include "recognition/picture/leptonica_image.h"
#include "recognition/picture/pix_clip.h"
#include "recognition/string_join.h"
#include "recognition/tesseract/read_lines.h"
#include "recognition/tesseract/tesseract_input.h"
#include "recognition/tesseract/tesseract_languages.h"
#include "recognition/tesseract/tesseract_threads.h"

namespace quillfen::tess {

using layout::PageArea;
using picture::LeptonicaImage;
using picture::PixPtr;
using platform::QuietStandardError;
namespace {

// One observation per line whose confidence is at least minimumConfidence, in their order.
Observations observationsOf(std::vector<ReadLine> lines, float minimumConfidence = 0) {
  Observations observations;
  for (ReadLine& line : lines) {
    if (line.confidence < minimumConfidence) continue;
    observations.push_back(std::make_unique<TextLineObservation>(std::move(line.text), line.confidence));
  }
  return observations;
}

// Observations from the recognised page: one per non-blank text line whose confidence is at
// least minimumConfidence, in reading order.
Observations textLines(tesseract::TessBaseAPI& api, float minimumConfidence = 0) {
  return observationsOf(readLines(api, false), minimumConfidence);
}

// Lines whose baselines slope more than this (rise over run, the page's median) are a
// tilted page's, or a page's that Tesseract read turned: rows of their upright boxes run
// into each other, so no table is looked for.
constexpr float kMaxTableSlope = 0.01f;

// Observations from the recognised page, in Tesseract's reading order with its tables read
// row by row (layout/tables_in_place.h), by the blocks its reading found; a tilted page's
// in Tesseract's order alone.
Observations textLinesWithTables(tesseract::TessBaseAPI& api) {
  std::vector<ReadLine> read = readLines(api);
  std::vector<float> slopes;
  for (const ReadLine& line : read) slopes.push_back(std::abs(line.slope));
  if (median(slopes) > kMaxTableSlope) return observationsOf(std::move(read));
  const layout::PageLayout layout = layout::recognisedLayout(api);
  std::vector<layout::LineBox> boxes;
  std::vector<std::size_t> lineOf;
  std::vector<const LinePiece*> pieces;
  for (std::size_t l = 0; l < read.size(); ++l) {
    for (const LinePiece& piece : read[l].pieces) {
      boxes.push_back(piece.box);
      lineOf.push_back(l);
      pieces.push_back(&piece);
    }
  }
  Observations observations;
  for (const std::vector<std::size_t>& ids : layout::withTablesInPlace(boxes, lineOf, layout)) {
    const ReadLine& first = read[lineOf[ids.front()]];
    // A whole line keeps Tesseract's own text and confidence.
    if (ids.size() == first.pieces.size() &&
        std::all_of(ids.begin(), ids.end(), [&](std::size_t id) { return lineOf[id] == lineOf[ids.front()]; })) {
      observations.push_back(std::make_unique<TextLineObservation>(first.text, first.confidence));
      continue;
    }
    std::vector<std::string> texts;
    float confidenceSum = 0;
    int words = 0;
    for (std::size_t id : ids) {
      texts.push_back(pieces[id]->text);
      confidenceSum += pieces[id]->confidenceSum;
      words += pieces[id]->words;
    }
    observations.push_back(std::make_unique<TextLineObservation>(
        joined(texts, " "), words > 0 ? confidenceSum / static_cast<float>(words) : 0));
  }
  return observations;
}

constexpr float blockReadingMinimumConfidence = 0.6f;

// Tesseract's largest side, in pixels.
constexpr l_int32 kLargestSide = 32767;

// The picture scaled down so that no side exceeds kLargestSide, or nothing when it fits
// already. A picture that does not fit and cannot be scaled gives a null picture and a
// null result: only running out of memory makes Leptonica's scaling fail.
PixPtr fittedToTesseract(Pix*& picture) {
  const l_int32 longest = std::max(pixGetWidth(picture), pixGetHeight(picture));
  if (longest <= kLargestSide) return nullptr;
  const float factor = static_cast<float>(kLargestSide) / static_cast<float>(longest);
  PixPtr scaled(pixScale(picture, factor, factor));
  if (!scaled || std::max(pixGetWidth(scaled.get()), pixGetHeight(scaled.get())) > kLargestSide) picture = nullptr;
  return scaled;
}

class TesseractHandler final : public ImageRequestHandler {
 public:
  TesseractHandler(std::unique_ptr<DecodedImage> image, const std::string& dataDirectory)
      : image_(std::move(image)), dataDirectory_(dataDirectory) {
    // A colourful picture is kept only as its luminance: on a 4000 × 3000 photo the
    // colour copy is 48 MB that Tesseract would not read.
    if (image_) {
      Pix* stored = static_cast<LeptonicaImage*>(image_.get())->pix();
      colourful_ = isColourful(stored);
      if (PixPtr luminance = tesseractInput(stored, colourful_)) {
        image_ = std::make_unique<LeptonicaImage>(std::move(luminance));
      }
    }
  }

  Status perform(TextRecognitionRequest& request) override {
    try {
      return recognizeAll(request);
    } catch (const std::bad_alloc&) {
      return Status::recognitionFailed(outOfMemoryDescription);
    }
  }

 private:
  Status recognizeAll(TextRecognitionRequest& request) {
    std::vector<std::string> dataNames;
    if (Status status = tesseractLanguages(request.recognitionLanguages(), dataDirectory_, &dataNames); !status.ok()) {
      return status;
    }
    const std::string languageArgument = joined(dataNames, "+");

    Pix* page = static_cast<LeptonicaImage*>(image_.get())->pix();
    // Tesseract refuses pictures 32768 pixels or more on a side; those are read scaled
    // down to fit, which keeps all the text where cutting could split lines or words.
    PixPtr fitted = fittedToTesseract(page);
    if (fitted) page = fitted.get();
    if (page == nullptr) return Status::recognitionFailed(outOfMemoryDescription);
    // Set before the orientation check starts, which may be in a child process of its own.
    runTesseractOnOneThread();
    // Small print is read enlarged, the orientation check included. Whether the page is
    // turned is asked only of a page read with little confidence, but the check starts
    // now, so that on a second processor its answer is ready by then; a page measured for
    // small print is measured in the same child process, first, while Tesseract loads its
    // data here (0.4 s for Chinese and English, against 0.03-0.13 s for measuring a photo).
    const bool measured = layout::measuredForSmallPrint(pixGetWidth(page), pixGetHeight(page));
    std::optional<orientation::OrientationCheck> orientationCheck;
    if (measured) {
      orientationCheck.emplace(page, dataDirectory_, orientation::OrientationCheck::MeasuredFirst{});
    } else {
      orientationCheck.emplace(page, dataDirectory_);
    }

    QuietStandardError quiet;
    layout::TesseractApi api;
    // Tesseract's own messages ("Estimating resolution as ...") would go to standard error.
    api.SetVariable("debug_file", "/dev/null");
    // With language correction off the word lists are not loaded, so nothing steers the
    // reading towards dictionary words.
    std::vector<std::string> names, values;
    if (!request.usesLanguageCorrection()) {
      names = {"load_system_dawg", "load_freq_dawg"};
      values = {"0", "0"};
    }
    if (api.Init(dataDirectory_.c_str(), languageArgument.c_str(), tesseract::OEM_LSTM_ONLY, nullptr, 0, &names,
                 &values, false) != 0) {
      // The data files exist (tesseractLanguages checked): damaged data or too little
      // memory are what is left, and Tesseract does not say which.
      return Status::recognitionFailed("Tesseract 载入语言数据 " + languageArgument + " 失败（目录 " + dataDirectory_ +
                                       "；数据文件损坏或内存不足）");
    }
    layout::SmallPrint smallPrint;
    if (measured) smallPrint = orientationCheck->smallPrint();
    if (smallPrint.enlarged) page = smallPrint.enlarged.get();

    Observations lines;
    if (Status status = readPage(api, page, !colourful_, lines); !status.ok()) return status;
    // A page read with little confidence may be turned: when Tesseract's orientation
    // detection names a turn, the page is read again upright, and that reading is kept
    // only when it is clearly the more confident one.
    if (const double confidence = orientation::readingConfidence(lines); confidence < orientation::kConfidentReading) {
      if (auto turn = orientation::confidentTurn(orientationCheck->guess())) {
        if (PixPtr upright = orientation::turnedUpright(page, *turn)) {
          Observations turned;
          if (Status status = readPage(api, upright.get(), !colourful_, turned); !status.ok()) return status;
          if (orientation::turnedReadingWins(confidence, orientation::readingConfidence(turned), *turn)) {
            lines = std::move(turned);
          }
        }
      }
    }
    request.setResults(std::move(lines));
    return Status();
  }

  // Reads one page into lines; a page where nothing is found is read again as one block
  // when oneBlockWhenEmpty.
  static Status readPage(layout::TesseractApi& api, Pix* page, bool oneBlockWhenEmpty, Observations& lines) {
    // Tesseract's automatic page segmentation reads a page in its own layout's order,
    // columns of running text included: on magazine pages it read them better whole than
    // block by block. Only a page with a clear gutter whose layout shows no columns is read
    // part by part, each part as one column, since there Tesseract breaks two columns of
    // Chinese text into dozens of fragments. Each part is handed over as a picture of its
    // own: with SetRectangle on the whole page, Tesseract read a title band as nothing.
    // The layout is analysed only for such a page, within its time budget: a page too
    // dense to analyse in it is read part by part too, which also keeps Tesseract's own
    // paragraph pass, run by every reading, to one part at a time.
    api.SetPageSegMode(tesseract::PSM_AUTO);
    api.SetImage(page);
    std::vector<PageArea> areas = layout::pageColumns(page);
    if (areas.size() > 1 && layout::hasColumns(layout::analyseLayout(api))) {
      areas = {PageArea{0, 0, pixGetWidth(page), pixGetHeight(page)}};
    }
    if (areas.size() > 1) api.SetPageSegMode(tesseract::PSM_SINGLE_COLUMN);
    for (const PageArea& area : areas) {
      PixPtr part;
      if (areas.size() > 1) {
        part = picture::clipped(page, area.x, area.y, area.width, area.height);
        if (!part) return Status::recognitionFailed("图片无法按栏切分");
        api.SetImage(part.get());
      }
      // With the picture's size within Tesseract's limits, running out of memory is what
      // makes recognition fail.
      if (api.Recognize(nullptr) != 0) return Status::recognitionFailed("Tesseract 识别这张图片失败（内存不足）");
      // A page read whole is read with its tables row by row.
      Observations read = areas.size() == 1 ? textLinesWithTables(api) : textLines(api);
      std::move(read.begin(), read.end(), std::back_inserter(lines));
    }
    // Tesseract's layout analysis finds no text at all on some clean pages, a single line of
    // Korean for one, which it then reads perfectly as one block. Such a second reading
    // keeps only lines read with some confidence, so that a picture without text, where
    // the block mode reads specks as letters, still gives nothing. A colourful picture (a
    // photo) is not read again: there the block mode makes lines of the scene's textures,
    // and on the photos of signs where it ran it read marks only ("x 4", "E"), taking up
    // to nine times as long as the first reading.
    if (oneBlockWhenEmpty && lines.empty() && areas.size() == 1) {
      api.SetPageSegMode(tesseract::PSM_SINGLE_BLOCK);
      if (api.Recognize(nullptr) != 0) return Status::recognitionFailed("Tesseract 识别这张图片失败");
      lines = textLines(api, blockReadingMinimumConfidence);
    }
    return Status();
  }

  std::unique_ptr<DecodedImage> image_;
  bool colourful_ = false;  // the picture as decoded had real colour
  std::string dataDirectory_;
};

}  // namespace

TesseractEngine::TesseractEngine(std::string dataDirectory) : dataDirectory_(std::move(dataDirectory)) {}

std::unique_ptr<ImageRequestHandler> TesseractEngine::makeHandler(std::unique_ptr<DecodedImage> image) const {
  return std::make_unique<TesseractHandler>(std::move(image), dataDirectory_);
}

}  // namespace quillfen::tess
