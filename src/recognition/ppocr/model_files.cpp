#include "recognition/ppocr/model_files.h"

#include <fstream>

#include "platform/file_system.h"
#include "recognition/out_of_memory.h"
#include "recognition/ppocr/error_text.h"
#include "recognition/string_join.h"

namespace quillfen::ppocr {
namespace {

using platform::isDirectory;
using platform::isRegularFile;

const char* const kFiles[] = {kDetectorFile, kRecognizerFile, kDictionaryFile, kClassifierFile};

Status loadNet(const std::string& path, cv::dnn::Net* net) {
  try {
    *net = cv::dnn::readNetFromONNX(path);
    if (net->empty()) return Status::recognitionFailed("模型文件 " + path + " 载入后是空的；" + restoreAdvice());
    return Status();
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) return Status::recognitionFailed(outOfMemoryDescription);
    return Status::recognitionFailed("模型文件 " + path + " 载入失败（" + oneLine(e.err) + "），可能已损坏；" +
                                     restoreAdvice());
  }
}

Status loadDictionary(const std::string& path, std::vector<std::string>* entries) {
  std::ifstream in(path, std::ios::binary);
  std::string entry;
  while (std::getline(in, entry)) {
    if (!entry.empty() && entry.back() == '\r') entry.pop_back();
    entries->push_back(entry);
  }
  if (!in.eof() || entries->empty()) {
    return Status::recognitionFailed("模型文件 " + path + " 读不出字典，可能已损坏；" + restoreAdvice());
  }
  return Status();
}

}  // namespace

cv::dnn::Net loadNetworkCopy(const Models& models, const char* file) {
  return cv::dnn::readNetFromONNX(models.folder + "/" + file);
}

Status loadModels(const std::vector<std::string>& folders, Models* models) {
  const std::string* chosen = nullptr;
  for (const std::string& folder : folders) {
    bool complete = true;
    for (const char* file : kFiles) complete = complete && isRegularFile(folder + "/" + file);
    if (complete) {
      chosen = &folder;
      break;
    }
  }
  if (chosen == nullptr) {
    for (const std::string& folder : folders) {
      if (!isDirectory(folder)) continue;
      for (const char* file : kFiles) {
        if (!isRegularFile(folder + "/" + file)) {
          return Status::recognitionFailed("缺少模型文件 " + folder + "/" + file + "；" + restoreAdvice());
        }
      }
    }
    return Status::recognitionFailed("找不到 PP-OCR 模型目录（" + joined(folders, "、") + "）；" + restoreAdvice());
  }

  models->folder = *chosen;
  if (Status status = loadNet(*chosen + "/" + kDetectorFile, &models->detector); !status.ok()) return status;
  if (Status status = loadNet(*chosen + "/" + kRecognizerFile, &models->recognizer); !status.ok()) return status;
  if (Status status = loadNet(*chosen + "/" + kClassifierFile, &models->classifier); !status.ok()) return status;
  return loadDictionary(*chosen + "/" + kDictionaryFile, &models->dictionary);
}

}  // namespace quillfen::ppocr
