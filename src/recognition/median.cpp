#include "recognition/median.h"

#include <algorithm>

namespace quillfen {

float median(std::vector<float> values) {
  if (values.empty()) return 0;
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace quillfen
