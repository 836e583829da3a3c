#include "cli/run.h"

#include "cli/fail.h"
#include "cli/language_list.h"
#include "cli/messages.h"
#include "platform/file_system.h"
#include "recognition/recognizer_stage.h"
#include "record/json_line.h"

namespace quillfen {
namespace {

// Ends the run with the message that belongs to the failure.
void failWith(const Status& status) {
  switch (status.code()) {
    case Status::Code::ok: break;
    case Status::Code::unreadableImage: fail(messages::unreadableImage);
    case Status::Code::recognitionFailed: fail(messages::recognitionFailed, status.description());
    case Status::Code::notSerialisable: fail(messages::serialisationFailed);
    case Status::Code::outputFailed: fail(messages::outputFailed, status.description());
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
  if (Status status = recognize(*run.engine, run.imagePath, run.languages, run.request, run.handler); !status.ok()) {
    failWith(status);
  }

  if (Status status = writeLine(collectLines(run.request->results(), run.engine->name(), run.collection));
      !status.ok()) {
    failWith(status);
  }
  return 0;
}

}  // namespace quillfen
