#include "recognition/line_collection.h"

namespace quillfen {

OcrOutput collectLines(const ResultList& results, std::string_view engine, LineCollection& collection) {
  if (!results) return OcrOutput("", 0, 0, std::string(engine));

  collection.lines.clear();
  collection.confidenceSum = 0;
  for (const auto& observation : *results) {
    std::vector<RecognizedText> candidates = observation->topCandidates(1);
    if (candidates.empty()) continue;
    collection.lines.push_back(std::move(candidates.front().string));
    collection.confidenceSum += static_cast<double>(candidates.front().confidence);
  }

  std::string text;
  for (std::size_t i = 0; i < collection.lines.size(); ++i) {
    if (i > 0) text.push_back('\n');
    text += collection.lines[i];
  }
  const auto count = static_cast<std::int64_t>(collection.lines.size());
  const double mean = count == 0 ? 0.0 : collection.confidenceSum / static_cast<double>(count);
  collection.output.emplace(std::move(text), mean, count, std::string(engine));
  return *collection.output;
}

}  // namespace quillfen
