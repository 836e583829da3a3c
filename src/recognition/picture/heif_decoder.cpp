#include "recognition/picture/heif_decoder.h"

#include <leptonica/allheaders.h>
#include <libheif/heif.h>

#include <memory>

namespace quillfen::picture {

std::unique_ptr<HeifFile> HeifFile::open(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(), heif_context_free);
  if (!context ||
      heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr).code != heif_error_Ok) {
    return nullptr;
  }
  heif_image_handle* handle = nullptr;
  if (heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok) return nullptr;
  return std::unique_ptr<HeifFile>(new HeifFile(context.release(), handle));
}

HeifFile::~HeifFile() {
  heif_image_handle_release(handle_);
  heif_context_free(context_);
}

int HeifFile::width() const { return heif_image_handle_get_width(handle_); }

int HeifFile::height() const { return heif_image_handle_get_height(handle_); }

PixPtr HeifFile::decode() const {
  const bool alpha = heif_image_handle_has_alpha_channel(handle_) != 0;
  std::unique_ptr<heif_decoding_options, decltype(&heif_decoding_options_free)> options(heif_decoding_options_alloc(),
                                                                                        heif_decoding_options_free);
  if (!options) return nullptr;
  options->ignore_transformations = 1;
  heif_image* rawImage = nullptr;
  if (heif_decode_image(handle_, &rawImage, heif_colorspace_RGB,
                        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get())
          .code != heif_error_Ok) {
    return nullptr;
  }
  std::unique_ptr<heif_image, decltype(&heif_image_release)> image(rawImage, heif_image_release);

  const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
  const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
  int stride = 0;
  const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (plane == nullptr || width <= 0 || height <= 0) return nullptr;

  PixPtr pix(pixCreate(width, height, 32));
  if (!pix) return nullptr;
  if (alpha) pixSetSpp(pix.get(), 4);
  const int channels = alpha ? 4 : 3;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = plane + static_cast<std::ptrdiff_t>(y) * stride;
    l_uint32* out = pixGetData(pix.get()) + static_cast<std::ptrdiff_t>(y) * pixGetWpl(pix.get());
    for (int x = 0; x < width; ++x, in += channels) {
      composeRGBAPixel(in[0], in[1], in[2], alpha ? in[3] : 255, out + x);
    }
  }
  return pix;
}

}  // namespace quillfen::picture
