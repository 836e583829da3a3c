#pragma once

#include "recognition/picture/pix_ptr.h"

namespace quillfen::picture {

// A copy of the rectangle of the picture (cut to the picture's bounds); nothing when the
// rectangle lies outside it or memory runs out.
PixPtr clipped(Pix* picture, int x, int y, int width, int height);

}  // namespace quillfen::picture
