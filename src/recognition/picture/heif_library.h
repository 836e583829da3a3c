#pragma once

#include <libheif/heif.h>

namespace quillfen::picture {

// libheif's functions that the HEIF decoder calls, from the library loaded the first time
// a file that may be HEIF or AVIF is met. Linked in, libheif brings its codec libraries
// (x265, libde265, aom, dav1d) into every run: about 6 ms more start-up, for pictures that
// are seldom HEIF.
struct HeifLibrary {
  decltype(&heif_check_filetype) checkFiletype;
  decltype(&heif_context_alloc) contextAlloc;
  decltype(&heif_context_free) contextFree;
  decltype(&heif_context_read_from_memory_without_copy) readFromMemoryWithoutCopy;
  decltype(&heif_context_get_primary_image_handle) primaryImageHandle;
  decltype(&heif_image_handle_release) imageHandleRelease;
  decltype(&heif_image_handle_get_width) imageHandleWidth;
  decltype(&heif_image_handle_get_height) imageHandleHeight;
  decltype(&heif_image_handle_has_alpha_channel) imageHandleHasAlpha;
  decltype(&heif_decoding_options_alloc) decodingOptionsAlloc;
  decltype(&heif_decoding_options_free) decodingOptionsFree;
  decltype(&heif_decode_image) decodeImage;
  decltype(&heif_image_release) imageRelease;
  decltype(&heif_image_get_width) imageWidth;
  decltype(&heif_image_get_height) imageHeight;
  decltype(&heif_image_get_plane_readonly) planeReadonly;
};

// The library's functions, or nothing when it cannot be loaded (then no file is HEIF).
const HeifLibrary* heifLibrary();

}  // namespace quillfen::picture
