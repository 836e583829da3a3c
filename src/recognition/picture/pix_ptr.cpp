#include "recognition/picture/pix_ptr.h"

#include <leptonica/allheaders.h>

namespace quillfen::picture {

void PixDeleter::operator()(Pix* pix) const { pixDestroy(&pix); }

}  // namespace quillfen::picture
