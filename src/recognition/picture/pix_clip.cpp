#include "recognition/picture/pix_clip.h"

#include <leptonica/allheaders.h>

namespace quillfen::picture {

PixPtr clipped(Pix* picture, int x, int y, int width, int height) {
  Box* box = boxCreate(x, y, width, height);
  if (box == nullptr) return nullptr;
  PixPtr part(pixClipRectangle(picture, box, nullptr));
  boxDestroy(&box);
  return part;
}

}  // namespace quillfen::picture
