#include "recognition/tesseract/tesseract_input.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <random>

namespace quillfen::tess {

using picture::PixPtr;
namespace {

// A 200 × 100 colour picture of one background colour, each channel jittered by up to
// ±noise, with a dark bar of "text" across it.
PixPtr picture(l_int32 red, l_int32 green, l_int32 blue, int noise) {
  PixPtr pix(pixCreate(200, 100, 32));
  std::mt19937 random(7);
  std::uniform_int_distribution<int> jitter(-noise, noise);
  auto channel = [&](l_int32 value) { return std::clamp(value + (noise ? jitter(random) : 0), 0, 255); };
  for (l_int32 y = 0; y < 100; ++y) {
    for (l_int32 x = 0; x < 200; ++x) {
      const bool ink = y >= 40 && y < 60 && x >= 20 && x < 180;
      pixSetRGBPixel(pix.get(), x, y, ink ? 20 : channel(red), ink ? 20 : channel(green), ink ? 20 : channel(blue));
    }
  }
  return pix;
}

TEST(TesseractInput, ColourfulPicturesGoInAsTheirLuminance) {
  for (const PixPtr& tinted : {picture(250, 230, 180, 0), picture(200, 230, 250, 20)}) {
    EXPECT_GT(colourfulness(tinted.get()), 20);
    const PixPtr input = tesseractInput(tinted.get(), isColourful(tinted.get()));
    ASSERT_TRUE(input);
    EXPECT_EQ(pixGetDepth(input.get()), 8);
    EXPECT_EQ(pixGetWidth(input.get()), 200);
    EXPECT_EQ(pixGetHeight(input.get()), 100);
    // The ink stays dark and the paper light.
    l_uint32 ink = 0, paper = 0;
    pixGetPixel(input.get(), 100, 50, &ink);
    pixGetPixel(input.get(), 100, 10, &paper);
    EXPECT_LT(ink, 40u);
    EXPECT_GT(paper, 150u);
  }
}

TEST(TesseractInput, GreyPicturesAreReadAsTheyAre) {
  // Grey paper, grey paper under heavy colour noise, and an 8-bit grey picture.
  // (Grey paper stored as RGB with equal channels goes in as the same pixels in 8 bits.)
  const PixPtr greyPaper = picture(240, 240, 240, 0);
  const PixPtr plainGrey = tesseractInput(greyPaper.get(), isColourful(greyPaper.get()));
  ASSERT_TRUE(plainGrey);
  EXPECT_EQ(pixGetDepth(plainGrey.get()), 8);
  l_uint32 ink = 0, paper = 0;
  pixGetPixel(plainGrey.get(), 100, 50, &ink);
  pixGetPixel(plainGrey.get(), 100, 10, &paper);
  EXPECT_EQ(ink, 20u);
  EXPECT_EQ(paper, 240u);
  const PixPtr noisy = picture(240, 240, 240, 40);
  EXPECT_LT(colourfulness(noisy.get()), 10);
  EXPECT_FALSE(tesseractInput(noisy.get(), isColourful(noisy.get())));
  const PixPtr grey(pixCreate(50, 50, 8));
  EXPECT_EQ(colourfulness(grey.get()), 0);
  EXPECT_FALSE(tesseractInput(grey.get(), isColourful(grey.get())));
}

}  // namespace
}  // namespace quillfen::tess
