#pragma once

#include "recognition/picture/pix_ptr.h"

namespace quillfen::picture {

// The picture with its alpha channel composed onto a plain background: white under dark
// content, black under light content, so that text drawn on a transparent background
// keeps its contrast either way (composing light text onto white would erase it).
// Done in place on a 32-bit picture with 4 samples per pixel, which is left with 3.
void flattenAlpha(Pix* rgba);

}  // namespace quillfen::picture
