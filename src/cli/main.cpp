#include <new>

#include "cli/fail.h"
#include "cli/messages.h"
#include "cli/run.h"
#include "platform/early_start.h"
#include "platform/process.h"
#include "recognition/choice/engine_choice.h"
#include "recognition/out_of_memory.h"

namespace {

// Before the shared libraries' initialisers: see platform/early_start.h. The dynamic
// linker calls entries of .preinit_array with the program's argc, argv and environment.
void earlyStart(int, char**, char** environment) { quillfen::platform::beginEarlyStart(environment); }
[[gnu::section(".preinit_array"), gnu::used]] void (*const earlyStartEntry)(int, char**, char**) = earlyStart;

}  // namespace

int main(int argc, char** argv) {
  quillfen::platform::finishEarlyStart();
  quillfen::platform::prepareStandardDescriptors();
  quillfen::prepareEngines();
  try {
    int status = quillfen::runTool(quillfen::platform::argumentList(argc, argv), quillfen::chooseEngine);
    quillfen::platform::exitProcess(status);
  } catch (const std::bad_alloc&) {
    // The engines report their own; this catches what runs around them.
    quillfen::fail(quillfen::messages::recognitionFailed, quillfen::outOfMemoryDescription);
  }
}
