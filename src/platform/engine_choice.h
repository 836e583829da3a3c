#pragma once

#include <memory>
#include <string>
#include <vector>

#include "recognition/text_engine.h"

namespace quillfen::platform {

// The engine built into this binary that reads the given languages.
std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>& languages);

}  // namespace quillfen::platform
