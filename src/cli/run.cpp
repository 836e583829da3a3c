#include "cli/run.h"

#include "cli/fail.h"
#include "cli/language_list.h"
#include "cli/messages.h"
#include "platform/file_system.h"
#include "record/json_line.h"
#include "recognition/recognizer_stage.h"

namespace quillfen {
namespace {

void writeRecord(const OcrOutput& record) {
  WriteLineResult result = writeLine(record);
  switch (result.outcome) {
    case WriteLineOutcome::written: return;
    case WriteLineOutcome::notSerialisable: fail(messages::serialisationFailed);
    case WriteLineOutcome::outputFailed: fail(messages::outputFailed, result.errorDescription);
  }
}

}  // namespace

int runTool(std::vector<std::string> arguments, const EngineChooser& chooseEngine) {
  Run run;
  run.arguments = std::move(arguments);
  if (run.arguments.size() < 2) fail(messages::usage);

  run.imagePath = run.arguments[1];
  run.languages = languageList(run.arguments);
  if (!platform::fileExists(run.imagePath)) fail(messages::notFound, run.imagePath);

  run.engine = chooseEngine(run.languages);
  if (std::optional<StageFailure> failure =
          recognize(*run.engine, run.imagePath, run.languages, run.request, run.handler)) {
    if (failure->kind == StageFailure::Kind::unreadableImage) fail(messages::unreadableImage);
    fail(messages::recognitionFailed, failure->description);
  }

  writeRecord(collectLines(run.request->results(), run.engine->name(), run.collection));
  return 0;
}

}  // namespace quillfen
