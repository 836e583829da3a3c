#pragma once

#include <string_view>

namespace quillfen::messages {

// Everything a caller can find on standard error: one of these, some followed directly by
// a detail. None ends with a line feed.
inline constexpr std::string_view usage = "用法：QuillfenOCR <图片路径> [语言,逗号分隔]";
inline constexpr std::string_view notFound = "找不到这个图片文件：";  // + the path as passed
inline constexpr std::string_view unreadableImage = "这个文件读不出图像内容，可能已损坏或不是图片格式。";
inline constexpr std::string_view recognitionFailed = "文字识别没有跑通：";  // + the engine's description
inline constexpr std::string_view serialisationFailed = "识别结果序列化失败。";
inline constexpr std::string_view outputFailed = "结果写不进标准输出：";  // + the system's description

}  // namespace quillfen::messages
