#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recognition/observation.h"
#include "record/ocr_output.h"

namespace quillfen {

// What collection builds up over a run.
struct LineCollection {
  std::vector<std::string> lines;
  double confidenceSum = 0;
  std::optional<OcrOutput> output;
};

// Turns the result list into the record: each observation's best candidate becomes a line
// (observations without one are skipped), lines are joined by line feeds, the confidence is
// the mean of the widened candidate confidences. An absent list gives the empty record and
// leaves the collection untouched; otherwise the collection holds the lines, their
// confidence sum and the record.
OcrOutput collectLines(const ResultList& results, std::string_view engine, LineCollection& collection);

}  // namespace quillfen
