#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quillfen::picture {

// The most bytes read from any input; more than this is not a picture the tool reads.
inline constexpr std::size_t maxPictureBytes = std::size_t{256} << 20;

// Judges an input by its first bytes: prefixBytes of them, or all if it is shorter.
struct PrefixCheck {
  std::size_t prefixBytes = 0;
  std::function<bool(const std::uint8_t* data, std::size_t size)> accepts;
};

// An input's bytes, in one block.
class PictureBytes {
 public:
  PictureBytes() = default;
  const std::uint8_t* data() const { return data_.get(); }
  std::size_t size() const { return size_; }

 private:
  friend std::optional<PictureBytes> readPictureBytes(const std::string&, const PrefixCheck&, std::size_t);
  struct Free {
    void operator()(std::uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<std::uint8_t, Free> data_;
  std::size_t size_ = 0;
};

// The bytes at path, at most maxBytes of them. A regular file (or a link to one) is read
// as a file; a pipe, FIFO or character device (/dev/stdin among them) is read as a stream
// to its end. Nothing for a directory, anything unreadable, or more than maxBytes. A FIFO
// is read as cat reads it: it waits for a writer, then reads to the writer's end. Reading
// stops early, with nothing, as soon as the
// prefix check (when given) turns the input down.
std::optional<PictureBytes> readPictureBytes(const std::string& path, const PrefixCheck& check = {},
                                             std::size_t maxBytes = maxPictureBytes);

}  // namespace quillfen::picture
