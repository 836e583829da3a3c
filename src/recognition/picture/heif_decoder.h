#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "recognition/picture/pix_ptr.h"

struct heif_context;
struct heif_image_handle;

namespace quillfen::picture {

struct HeifLibrary;

// A HEIF or AVIF file, parsed once: the size of its primary picture is known before any
// pixel is decoded. The bytes must outlive it.
class HeifFile {
 public:
  // Whether the bytes begin a file that libheif reads. libheif is loaded only for bytes
  // that begin as every HEIF and AVIF file does, with an ISO media file's type box.
  static bool isHeif(const std::uint8_t* data, std::size_t size);

  // Nothing when libheif does not parse the bytes or they hold no primary picture.
  static std::unique_ptr<HeifFile> open(const std::uint8_t* data, std::size_t size);
  ~HeifFile();
  HeifFile(const HeifFile&) = delete;
  HeifFile& operator=(const HeifFile&) = delete;

  int width() const;
  int height() const;

  // The primary picture as stored: its rotation and mirroring are not applied. 32-bit RGB,
  // with alpha when the file has it; nothing when it does not decode.
  PixPtr decode() const;

 private:
  HeifFile(const HeifLibrary& heif, heif_context* context, heif_image_handle* handle)
      : heif_(heif), context_(context), handle_(handle) {}
  const HeifLibrary& heif_;
  heif_context* context_;
  heif_image_handle* handle_;
};

}  // namespace quillfen::picture
