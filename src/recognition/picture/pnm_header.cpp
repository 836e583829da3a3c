#include "recognition/picture/pnm_header.h"

#include <string_view>

namespace quillfen::picture {
namespace {

constexpr std::uint64_t kLargestNumber = 0x7fffffff;

class HeaderReader {
 public:
  HeaderReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // Skips white space and comments (from '#' to the end of the line).
  void skipSpace() {
    while (at_ < size_) {
      const std::uint8_t c = data_[at_];
      if (c == '#') {
        while (at_ < size_ && data_[at_] != '\n' && data_[at_] != '\r') ++at_;
      } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
        ++at_;
      } else {
        return;
      }
    }
  }

  // A decimal number of at most 31 bits, after white space and comments.
  std::optional<std::uint64_t> number() {
    skipSpace();
    std::uint64_t value = 0;
    const std::size_t start = at_;
    while (at_ < size_ && data_[at_] >= '0' && data_[at_] <= '9') {
      value = value * 10 + (data_[at_] - '0');
      if (value > kLargestNumber) return std::nullopt;
      ++at_;
    }
    if (at_ == start) return std::nullopt;
    return value;
  }

  // The next word of letters, digits and underscores, after white space and comments.
  std::string_view word() {
    skipSpace();
    const std::size_t start = at_;
    while (at_ < size_ && data_[at_] > ' ' && data_[at_] != '#') ++at_;
    return {reinterpret_cast<const char*>(data_ + start), at_ - start};
  }

  void skipLine() {
    while (at_ < size_ && data_[at_] != '\n') ++at_;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 2;  // after the magic "Pn"
};

std::optional<PnmSize> pamSize(HeaderReader& reader) {
  std::optional<std::uint64_t> width, height, maxval;
  for (int lines = 0; lines < 64; ++lines) {
    const std::string_view key = reader.word();
    if (key.empty()) return std::nullopt;
    if (key == "ENDHDR") break;
    if (key == "WIDTH") {
      width = reader.number();
      if (!width) return std::nullopt;
    } else if (key == "HEIGHT") {
      height = reader.number();
      if (!height) return std::nullopt;
    } else if (key == "MAXVAL") {
      maxval = reader.number();
      if (!maxval || *maxval == 0 || *maxval > 65535) return std::nullopt;
    } else {
      reader.skipLine();  // DEPTH, TUPLTYPE: the decoder judges them
    }
  }
  if (!width || !height) return std::nullopt;
  return PnmSize{*width, *height};
}

}  // namespace

std::optional<PnmSize> readPnmSize(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < 3 || data[0] != 'P' || data[1] < '1' || data[1] > '7') return std::nullopt;
  HeaderReader reader(data, size);
  if (data[1] == '7') return pamSize(reader);
  const std::optional<std::uint64_t> width = reader.number();
  const std::optional<std::uint64_t> height = width ? reader.number() : std::nullopt;
  if (!width || !height) return std::nullopt;
  if (data[1] != '1' && data[1] != '4') {  // bitmaps have no maximum sample value
    const std::optional<std::uint64_t> maxval = reader.number();
    if (!maxval || *maxval == 0 || *maxval > 65535) return std::nullopt;
  }
  return PnmSize{*width, *height};
}

}  // namespace quillfen::picture
