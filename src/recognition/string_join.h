#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// The parts in order, with the separator between each two.
std::string joined(const std::vector<std::string>& parts, std::string_view separator);

}  // namespace quillfen
