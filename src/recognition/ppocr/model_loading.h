#pragma once

#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "platform/status.h"
#include "recognition/ppocr/model_files.h"

namespace quillfen::ppocr {

// The models, loaded (loadModels) either on a thread of their own, started while the
// picture decodes (neither needs the other, and on a 12-megapixel photo each takes more
// than a tenth of a second), or on the caller's when they are taken. What the thread
// throws (running out of memory) is kept and thrown again by take.
class ModelLoading {
 public:
  explicit ModelLoading(std::vector<std::string> folders);  // nothing loads yet
  ~ModelLoading();                                          // waits for the thread
  ModelLoading(const ModelLoading&) = delete;
  ModelLoading& operator=(const ModelLoading&) = delete;

  // Starts loading on a thread of its own; when no thread can be had, take loads them.
  void start();

  // Waits until the loading thread, if any, has ended: the process is back to one thread.
  void wait();

  // The models and loadModels's status for them, loaded here if they were not started.
  // Call once.
  Status take(Models* models);

 private:
  std::vector<std::string> folders_;
  Models models_;
  Status status_;
  std::exception_ptr thrown_;
  bool started_ = false;
  std::thread thread_;
};

}  // namespace quillfen::ppocr
