#pragma once

#include <exception>

namespace quillfen {

// What an engine reports when an allocation failed, in its own code or in a library's:
// the recognition-failed message then tells the caller that memory ran out, not that a
// file is damaged.
inline constexpr const char* outOfMemoryDescription = "内存不足，处理这张图片所需的内存超出了可用的内存";

// Whether a library's exception says that the system refused memory, or a thread, whose
// stack is memory too: a std::system_error with those codes, or a message that ends with
// the system's text for them, as TBB reports a worker thread it could not start.
bool saysOutOfMemory(const std::exception& error);

}  // namespace quillfen
