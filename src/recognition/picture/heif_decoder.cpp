#include "recognition/picture/heif_decoder.h"

#include <leptonica/allheaders.h>
#include <libheif/heif.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "recognition/picture/heif_library.h"

namespace quillfen::picture {

bool HeifFile::isHeif(const std::uint8_t* data, std::size_t size) {
  // libheif looks at the first dozen bytes: the type box's size, "ftyp" and the brand.
  constexpr std::size_t kTypeBoxStart = 12;
  if (size < kTypeBoxStart || std::memcmp(data + 4, "ftyp", 4) != 0) return false;
  const HeifLibrary* heif = heifLibrary();
  return heif != nullptr && heif->checkFiletype(data, static_cast<int>(std::min<std::size_t>(size, INT_MAX))) ==
                                heif_filetype_yes_supported;
}

std::unique_ptr<HeifFile> HeifFile::open(const std::uint8_t* data, std::size_t size) {
  const HeifLibrary* heif = heifLibrary();
  if (heif == nullptr) return nullptr;
  std::unique_ptr<heif_context, decltype(heif->contextFree)> context(heif->contextAlloc(), heif->contextFree);
  if (!context || heif->readFromMemoryWithoutCopy(context.get(), data, size, nullptr).code != heif_error_Ok) {
    return nullptr;
  }
  heif_image_handle* handle = nullptr;
  if (heif->primaryImageHandle(context.get(), &handle).code != heif_error_Ok) return nullptr;
  return std::unique_ptr<HeifFile>(new HeifFile(*heif, context.release(), handle));
}

HeifFile::~HeifFile() {
  heif_.imageHandleRelease(handle_);
  heif_.contextFree(context_);
}

int HeifFile::width() const { return heif_.imageHandleWidth(handle_); }

int HeifFile::height() const { return heif_.imageHandleHeight(handle_); }

PixPtr HeifFile::decode() const {
  const bool alpha = heif_.imageHandleHasAlpha(handle_) != 0;
  std::unique_ptr<heif_decoding_options, decltype(heif_.decodingOptionsFree)> options(heif_.decodingOptionsAlloc(),
                                                                                     heif_.decodingOptionsFree);
  if (!options) return nullptr;
  options->ignore_transformations = 1;
  heif_image* rawImage = nullptr;
  if (heif_.decodeImage(handle_, &rawImage, heif_colorspace_RGB,
                        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get())
          .code != heif_error_Ok) {
    return nullptr;
  }
  std::unique_ptr<heif_image, decltype(heif_.imageRelease)> image(rawImage, heif_.imageRelease);

  const int width = heif_.imageWidth(image.get(), heif_channel_interleaved);
  const int height = heif_.imageHeight(image.get(), heif_channel_interleaved);
  int stride = 0;
  const std::uint8_t* plane = heif_.planeReadonly(image.get(), heif_channel_interleaved, &stride);
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
