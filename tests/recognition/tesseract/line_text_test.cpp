#include "recognition/tesseract/line_text.h"

#include <gtest/gtest.h>

namespace quillfen::tess {
namespace {

TEST(ReaderLineText, TrimsTheLineEnds) {
  EXPECT_EQ(readerLineText("  Hello world \n"), "Hello world");
  EXPECT_EQ(readerLineText(" \n\t"), "");
}

TEST(ReaderLineText, DropsSpacesOnlyBetweenCjkCharacters) {
  EXPECT_EQ(readerLineText("今 天 天 气 很 好 ， 我 们 去"), "今天天气很好，我们去");
  EXPECT_EQ(readerLineText("价 格 ： 128.50 元"), "价格：128.50 元");
  EXPECT_EQ(readerLineText("识 别 中 文 和 English 文 字"), "识别中文和 English 文字");
  EXPECT_EQ(readerLineText("two  spaces in English"), "two  spaces in English");
  EXPECT_EQ(readerLineText("中   文"), "中文");
}

TEST(ReaderLineText, LeavesMalformedBytesAlone) {
  EXPECT_EQ(readerLineText("a \xff b"), "a \xff b");
  EXPECT_EQ(readerLineText("中 \xe4"), "中 \xe4");
}

}  // namespace
}  // namespace quillfen::tess
