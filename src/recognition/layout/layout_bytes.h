#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "recognition/layout/page_layout.h"

namespace quillfen::layout {

// A page layout as bytes and back, to carry it out of the child process that analysed it
// (the same program on both ends, so numbers travel in the machine's own form). Nothing
// when the bytes are not a whole layout.
std::string layoutBytes(const PageLayout& layout);
std::optional<PageLayout> layoutFromBytes(std::string_view bytes);

// The layout a child process sent: an empty one, as a failed analysis gives, when it sent
// nothing (it failed or was cut off) or bytes that are not a whole layout.
PageLayout layoutSentBy(const std::optional<std::string>& bytes);

}  // namespace quillfen::layout
