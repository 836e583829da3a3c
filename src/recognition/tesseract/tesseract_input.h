#pragma once

#include "recognition/picture/pix_ptr.h"

namespace quillfen::tess {

// The mean spread between a pixel's strongest and weakest colour channel (0-255), over
// the picture averaged in 8 × 8 blocks so that colour noise cancels out. 0 for pictures
// that are not 32-bit colour.
double colourfulness(Pix* picture);

// Whether a picture has real colour (a photo, tinted paper): a colourfulness of 10 or
// more. Tinted papers and photos measure 20-60, grey pages 0, a grey receipt under colour
// noise about 3.
bool isColourful(Pix* picture);

// What Tesseract should read for a picture (colourful as isColourful says): its luminance
// when it is colourful; the same pixels as 8-bit gray when it is 32-bit with equal
// channels everywhere (a gray page stored as RGB: Tesseract thresholds each channel
// alike, and would copy four times the memory); nothing (read the picture as it is)
// otherwise. Tesseract thresholds colour pictures on their own terms and picks up tinted
// and textured backgrounds as ink; grey pictures, even with colour noise, it reads best
// as they are.
picture::PixPtr tesseractInput(Pix* picture, bool colourful);

// The 32-bit picture as 8-bit gray when its three channels are equal in every pixel;
// nothing otherwise.
picture::PixPtr sameAsGray(Pix* picture);

}  // namespace quillfen::tess
