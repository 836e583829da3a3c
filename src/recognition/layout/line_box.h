#pragma once

namespace quillfen::layout {

// An upright box around a piece of a text line, in picture pixels.
struct LineBox {
  float x = 0, y = 0, width = 0, height = 0;
};

// The height of the box's midline.
inline float middle(const LineBox& box) { return box.y + box.height / 2; }

}  // namespace quillfen::layout
