#include "recognition/ppocr/model_files.h"

#include <sys/stat.h>

#include <fstream>

#include "recognition/out_of_memory.h"

namespace quillfen::ppocr {
namespace {

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const char* const kFiles[] = {kDetectorFile, kRecognizerFile, kDictionaryFile};

std::string joined(const std::vector<std::string>& folders) {
  std::string out;
  for (const std::string& folder : folders) out += (out.empty() ? "" : "、") + folder;
  return out;
}

std::variant<cv::dnn::Net, Status> loadNet(const std::string& path) {
  try {
    cv::dnn::Net net = cv::dnn::readNetFromONNX(path);
    if (net.empty()) return Status::error("模型文件 " + path + " 载入后是空的；" + restoreAdvice());
    return net;
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) return Status::error(outOfMemoryDescription);
    return Status::error("模型文件 " + path + " 载入失败（" + oneLine(e.err) + "），可能已损坏；" + restoreAdvice());
  }
}

std::variant<std::vector<std::string>, Status> loadDictionary(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> entries;
  std::string entry;
  while (std::getline(in, entry)) {
    if (!entry.empty() && entry.back() == '\r') entry.pop_back();
    entries.push_back(entry);
  }
  if (!in.eof() || entries.empty()) {
    return Status::error("模型文件 " + path + " 读不出字典，可能已损坏；" + restoreAdvice());
  }
  return entries;
}

}  // namespace

std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string restoreAdvice() {
  return "重新构建（cmake --build，会重新运行 models/fetch.sh 和 models/prepare.py）或重新安装即可恢复";
}

std::variant<Models, Status> loadModels(const std::vector<std::string>& folders) {
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
          return Status::error("缺少模型文件 " + folder + "/" + file + "；" + restoreAdvice());
        }
      }
    }
    return Status::error("找不到 PP-OCR 模型目录（" + joined(folders) + "）；" + restoreAdvice());
  }

  Models models;
  models.folder = *chosen;
  auto detector = loadNet(*chosen + "/" + kDetectorFile);
  if (auto* error = std::get_if<Status>(&detector)) return *error;
  models.detector = std::move(std::get<cv::dnn::Net>(detector));
  auto recognizer = loadNet(*chosen + "/" + kRecognizerFile);
  if (auto* error = std::get_if<Status>(&recognizer)) return *error;
  models.recognizer = std::move(std::get<cv::dnn::Net>(recognizer));
  auto dictionary = loadDictionary(*chosen + "/" + kDictionaryFile);
  if (auto* error = std::get_if<Status>(&dictionary)) return *error;
  models.dictionary = std::move(std::get<std::vector<std::string>>(dictionary));
  return models;
}

}  // namespace quillfen::ppocr
