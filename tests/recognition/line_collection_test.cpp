#include "recognition/line_collection.h"

#include <gtest/gtest.h>

#include "recognition/fake_engine.h"

namespace quillfen {
namespace {

using test_support::makeObservations;

OcrOutput collect(const ResultList& results, LineCollection& collection) {
  return collectLines(results, "engine-x", collection);
}

TEST(LineCollection, NothingToCollectGivesTheEmptyRecord) {
  const OcrOutput empty("", 0, 0, "engine-x");
  LineCollection untouched;
  untouched.lines = {"earlier"};
  EXPECT_EQ(collect(std::nullopt, untouched), empty);
  EXPECT_EQ(untouched.lines, std::vector<std::string>{"earlier"});
  EXPECT_FALSE(untouched.output);

  LineCollection collection;
  EXPECT_EQ(collect(Observations{}, collection), empty);
  EXPECT_EQ(collection.output, empty);
  EXPECT_EQ(collect(makeObservations({{nullptr, 0}, {nullptr, 0}}), collection), empty);
}

TEST(LineCollection, JoinsBestCandidatesAndAveragesConfidence) {
  LineCollection collection;
  const OcrOutput record = collect(makeObservations({{"one", 0.5f}, {"two", 1.0f}, {"three", 0.75f}}), collection);
  EXPECT_EQ(record, OcrOutput("one\ntwo\nthree", 0.75, 3, "engine-x"));
  EXPECT_EQ(collection.lines, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(collection.confidenceSum, 2.25);
  EXPECT_EQ(collection.output, record);
}

TEST(LineCollection, ObservationWithoutCandidateAddsNoLine) {
  LineCollection collection;
  EXPECT_EQ(collect(makeObservations({{"a", 1.0f}, {nullptr, 0}, {"b", 0.5f}}), collection),
            OcrOutput("a\nb", 0.75, 2, "engine-x"));
}

TEST(LineCollection, EmptyAndMultiLineStringsAreKeptAsEntries) {
  LineCollection collection;
  EXPECT_EQ(collect(makeObservations({{"a", 1.0f}, {"", 0.0f}, {"b", 0.5f}}), collection),
            OcrOutput("a\n\nb", 0.5, 3, "engine-x"));
  EXPECT_EQ(collect(makeObservations({{"x\ny", 1.0f}, {"z", 1.0f}}), collection),
            OcrOutput("x\ny\nz", 1, 2, "engine-x"));
}

TEST(LineCollection, MeanIsOverWidenedSinglePrecisionValues) {
  LineCollection collection;
  const OcrOutput record = collect(makeObservations({{"a", 0.3f}}), collection);
  EXPECT_EQ(record.confidence(), static_cast<double>(0.3f));
  EXPECT_GT(record.confidence(), 0.3);
}

}  // namespace
}  // namespace quillfen
