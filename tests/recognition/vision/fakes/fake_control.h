#pragma once

// Plain C++ control over the fake Core Image and Vision classes in fakes.mm: what they
// answer, and what the code under test asked of them.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::vision_fakes {

struct FakeCandidate {
  std::string string;
  float confidence;
};

// The candidates of each observation, in result order; nullopt leaves the results nil.
using FakeResults = std::optional<std::vector<std::vector<FakeCandidate>>>;

// Forgets the record and returns every answer to its default: pictures decode, requests
// succeed, and the results are an empty array.
void reset();

// Makes -[CIImage initWithContentsOfURL:] answer nil.
void refuseImages();
// Makes -[VNImageRequestHandler performRequests:error:] answer NO with an NSError whose
// localizedDescription is the given text.
void failRequestsWith(const std::string& localizedDescription);
// What the next successful perform leaves in the request's results.
void answerResults(FakeResults results);

// Every message the fakes received, in order, e.g. "setRecognitionLevel: 0".
const std::vector<std::string>& calls();

// Fake objects made and not yet deallocated.
int liveObjects();

}  // namespace quillfen::vision_fakes
