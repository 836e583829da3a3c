#include "recognition/picture/opencv_decoder.h"

#include <leptonica/allheaders.h>

#ifdef QUILLFEN_WITH_OPENCV_CODECS
#include <dlfcn.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <new>
#include <type_traits>
#endif

namespace quillfen::picture {

#ifdef QUILLFEN_WITH_OPENCV_CODECS
namespace {

// A sample as 8 bits: 16-bit samples keep their high byte.
template <typename Sample>
l_int32 eightBits(Sample value) {
  if constexpr (sizeof(Sample) == 2) return value >> 8;
  return value;
}

// OpenCV's rows (gray, gray + alpha, BGR or BGRA) into Leptonica's layout.
template <typename Sample>
PixPtr toPix(const cv::Mat& decoded) {
  const int channels = decoded.channels();
  const bool gray = channels == 1;
  const bool alpha = channels == 2 || channels == 4;
  PixPtr pix(pixCreateNoInit(decoded.cols, decoded.rows, gray ? 8 : 32));
  if (!pix) return nullptr;
  if (alpha) pixSetSpp(pix.get(), 4);
  const l_int32 wpl = pixGetWpl(pix.get());
  for (int y = 0; y < decoded.rows; ++y) {
    const Sample* in = decoded.ptr<Sample>(y);
    l_uint32* out = pixGetData(pix.get()) + static_cast<std::ptrdiff_t>(y) * wpl;
    for (int x = 0; x < decoded.cols; ++x, in += channels) {
      switch (channels) {
        case 1: SET_DATA_BYTE(out, x, static_cast<l_uint8>(eightBits(in[0]))); break;
        case 2:
          composeRGBAPixel(eightBits(in[0]), eightBits(in[0]), eightBits(in[0]), eightBits(in[1]), out + x);
          break;
        case 3: composeRGBPixel(eightBits(in[2]), eightBits(in[1]), eightBits(in[0]), out + x); break;
        default: composeRGBAPixel(eightBits(in[2]), eightBits(in[1]), eightBits(in[0]), eightBits(in[3]), out + x);
      }
    }
  }
  return pix;
}

// cv::imdecode from OpenCV's codecs library, loaded the first time it is needed. Linked
// in, that library brings GDAL and some sixty other libraries into every run: 30 MB more
// memory and a slower start, for the few pictures Leptonica refuses.
using Imdecode = cv::Mat (*)(cv::InputArray, int);
Imdecode imdecodeFunction() {
  static const Imdecode function = []() -> Imdecode {
    void* library = dlopen(QUILLFEN_OPENCV_IMGCODECS_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    // The symbol of cv::imdecode(cv::InputArray, int), checked against the declaration.
    static_assert(std::is_same_v<decltype(static_cast<cv::Mat (*)(cv::InputArray, int)>(&cv::imdecode)), Imdecode>);
    return reinterpret_cast<Imdecode>(dlsym(library, "_ZN2cv8imdecodeERKNS_11_InputArrayEi"));
  }();
  return function;
}

}  // namespace

PixPtr decodeWithOpenCv(const std::uint8_t* data, std::size_t size) {
  const Imdecode imdecode = imdecodeFunction();
  if (imdecode == nullptr) return nullptr;
  try {
    const cv::Mat bytes(1, static_cast<int>(size), CV_8U, const_cast<std::uint8_t*>(data));
    const cv::Mat decoded = imdecode(bytes, cv::IMREAD_UNCHANGED);
    if (decoded.empty() || decoded.dims != 2 || decoded.channels() > 4) return nullptr;
    if (decoded.depth() == CV_8U) return toPix<std::uint8_t>(decoded);
    if (decoded.depth() == CV_16U) return toPix<std::uint16_t>(decoded);
    return nullptr;
  } catch (const cv::Exception&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
#else
PixPtr decodeWithOpenCv(const std::uint8_t*, std::size_t) { return nullptr; }
#endif

}  // namespace quillfen::picture
