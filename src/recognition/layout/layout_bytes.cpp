#include "recognition/layout/layout_bytes.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace quillfen::layout {
namespace {

template <typename T>
void put(std::string& bytes, T value) {
  static_assert(std::is_trivially_copyable_v<T>);
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Takes values off the front of the bytes; once one is missing, every later take fails too.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  template <typename T>
  bool take(T& value) {
    if (bytes_.size() < sizeof value) return false;
    std::memcpy(&value, bytes_.data(), sizeof value);
    bytes_.remove_prefix(sizeof value);
    return true;
  }
  bool empty() const { return bytes_.empty(); }
  std::size_t left() const { return bytes_.size(); }

 private:
  std::string_view bytes_;
};

}  // namespace

std::string layoutBytes(const PageLayout& layout) {
  std::string bytes;
  put(bytes, layout.lineHeight);
  put(bytes, static_cast<std::uint32_t>(layout.blocks.size()));
  for (const TextBlock& block : layout.blocks) {
    put(bytes, block.bounds);
    put(bytes, block.lineCount);
    put(bytes, block.lineHeight);
    put(bytes, block.filledShare);
    put(bytes, static_cast<std::uint8_t>(block.flowing));
    put(bytes, static_cast<std::uint8_t>(block.table));
    put(bytes, static_cast<std::uint32_t>(block.outline.size()));
    for (const Point& point : block.outline) put(bytes, point);
  }
  return bytes;
}

std::optional<PageLayout> layoutFromBytes(std::string_view bytes) {
  Reader reader(bytes);
  PageLayout layout;
  std::uint32_t blocks = 0;
  if (!reader.take(layout.lineHeight) || !reader.take(blocks)) return std::nullopt;
  for (std::uint32_t i = 0; i < blocks; ++i) {
    TextBlock block;
    std::uint8_t flowing = 0, table = 0;
    std::uint32_t points = 0;
    if (!reader.take(block.bounds) || !reader.take(block.lineCount) || !reader.take(block.lineHeight) ||
        !reader.take(block.filledShare) || !reader.take(flowing) || !reader.take(table) || !reader.take(points)) {
      return std::nullopt;
    }
    // A count larger than what is left cannot be whole; checked before anything is reserved.
    if (points > reader.left() / sizeof(Point)) return std::nullopt;
    block.flowing = flowing != 0;
    block.table = table != 0;
    block.outline.resize(points);
    for (Point& point : block.outline) reader.take(point);
    layout.blocks.push_back(std::move(block));
  }
  if (!reader.empty()) return std::nullopt;
  return layout;
}

PageLayout layoutSentBy(const std::optional<std::string>& bytes) {
  return bytes ? layoutFromBytes(*bytes).value_or(PageLayout{}) : PageLayout{};
}

}  // namespace quillfen::layout
