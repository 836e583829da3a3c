#include "cli/run.h"
#include "recognition/choice/engine_choice.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  quillfen::platform::prepareStandardDescriptors();
  int status = quillfen::runTool(quillfen::platform::argumentList(argc, argv), quillfen::chooseEngine);
  quillfen::platform::exitProcess(status);
}
