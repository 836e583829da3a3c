#include "platform/engine_choice.h"

#include "platform/vision_engine.h"

namespace quillfen::platform {

// On Apple systems Vision reads every language list.
std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>&) {
  return std::make_unique<VisionEngine>();
}

}  // namespace quillfen::platform
