#pragma once

namespace quillfen {

// What an engine reports when an allocation failed, in its own code or in a library's:
// the recognition-failed message then tells the caller that memory ran out, not that a
// file is damaged.
inline constexpr const char* outOfMemoryDescription = "内存不足，处理这张图片所需的内存超出了可用的内存";

}  // namespace quillfen
