#pragma once

#include <memory>

struct Pix;

namespace quillfen::picture {

struct PixDeleter {
  void operator()(Pix* pix) const;
};

// An owned Leptonica picture, destroyed with pixDestroy.
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

}  // namespace quillfen::picture
