#include "recognition/choice/engine_choice.h"

#include "recognition/vision/vision_engine.h"

namespace quillfen {

// On Apple systems Vision reads every language list.
std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>&) {
  return std::make_unique<vision::VisionEngine>();
}

}  // namespace quillfen
