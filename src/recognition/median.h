#pragma once

#include <vector>

namespace quillfen {

// The middle value (the upper one of an even count); 0 for none.
float median(std::vector<float> values);

}  // namespace quillfen
