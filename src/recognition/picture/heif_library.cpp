#include "recognition/picture/heif_library.h"

#include <dlfcn.h>

#include <optional>
#include <type_traits>

namespace quillfen::picture {
namespace {

std::optional<HeifLibrary> loaded() {
  void* library = dlopen(QUILLFEN_HEIF_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return std::nullopt;
  bool complete = true;
  // Each function's type comes from libheif's header, its address from the library.
  auto find = [&](auto& function, const char* name) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
    complete = complete && function != nullptr;
  };
  HeifLibrary heif{};
  find(heif.checkFiletype, "heif_check_filetype");
  find(heif.contextAlloc, "heif_context_alloc");
  find(heif.contextFree, "heif_context_free");
  find(heif.readFromMemoryWithoutCopy, "heif_context_read_from_memory_without_copy");
  find(heif.primaryImageHandle, "heif_context_get_primary_image_handle");
  find(heif.imageHandleRelease, "heif_image_handle_release");
  find(heif.imageHandleWidth, "heif_image_handle_get_width");
  find(heif.imageHandleHeight, "heif_image_handle_get_height");
  find(heif.imageHandleHasAlpha, "heif_image_handle_has_alpha_channel");
  find(heif.decodingOptionsAlloc, "heif_decoding_options_alloc");
  find(heif.decodingOptionsFree, "heif_decoding_options_free");
  find(heif.decodeImage, "heif_decode_image");
  find(heif.imageRelease, "heif_image_release");
  find(heif.imageWidth, "heif_image_get_width");
  find(heif.imageHeight, "heif_image_get_height");
  find(heif.planeReadonly, "heif_image_get_plane_readonly");
  if (!complete) return std::nullopt;
  return heif;
}

}  // namespace

const HeifLibrary* heifLibrary() {
  static const std::optional<HeifLibrary> library = loaded();
  return library ? &*library : nullptr;
}

}  // namespace quillfen::picture
