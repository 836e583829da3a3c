#include "recognition/choice/engine_choice.h"

#include "recognition/vision/vision_engine.h"

namespace quillfen {

// Core Image and Vision hold their own pictures: nothing to set up.
void prepareEngines() {}

// On Apple systems Vision reads every language list.
std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>&) {
  return std::make_unique<vision::VisionEngine>();
}

}  // namespace quillfen
