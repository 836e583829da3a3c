#include "recognition/ppocr/error_text.h"

namespace quillfen::ppocr {

std::string restoreAdvice() {
  return "重新构建（cmake --build，会重新运行 models/fetch.sh 和 models/prepare.py）或重新安装即可恢复";
}

std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace quillfen::ppocr
