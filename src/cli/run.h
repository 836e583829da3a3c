#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "recognition/line_collection.h"
#include "recognition/text_engine.h"

namespace quillfen {

// Picks the engine that reads the given languages.
using EngineChooser = std::function<std::unique_ptr<TextEngine>(const std::vector<std::string>& languages)>;

// The state of one run, each member set once in the order of the run.
struct Run {
  std::vector<std::string> arguments;
  std::string imagePath;
  std::vector<std::string> languages;
  std::unique_ptr<TextEngine> engine;
  std::unique_ptr<TextRecognitionRequest> request;
  std::unique_ptr<ImageRequestHandler> handler;
  LineCollection collection;  // lines, confidenceSum, output
};

// One run of the tool over the argument list: checks the arguments and the file, runs the
// recognizer, prints the record's line. Returns the exit status after success (0); every
// failure ends the process through fail with its message and status 1.
int runTool(std::vector<std::string> arguments, const EngineChooser& chooseEngine);

}  // namespace quillfen
