#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace quillfen::picture {

struct PnmSize {
  std::uint64_t width;
  std::uint64_t height;
};

// The width and height a PNM (P1-P6) or PAM (P7) header declares, read with overflow
// checks: nothing when the header is malformed, or a number does not fit in 31 bits
// (Leptonica's own reader keeps only the low 32 bits, so a width of 2^32 + 100 decoded as
// 100). A maximum sample value must lie in 1-65535.
std::optional<PnmSize> readPnmSize(const std::uint8_t* data, std::size_t size);

}  // namespace quillfen::picture
