#include "recognition/ppocr/model_loading.h"

#include <exception>
#include <utility>

namespace quillfen::ppocr {

ModelLoading::ModelLoading(std::vector<std::string> folders) : folders_(std::move(folders)) {}

ModelLoading::~ModelLoading() { wait(); }

void ModelLoading::start() {
  if (started_) return;
  try {
    thread_ = std::thread([this] {
      try {
        status_ = loadModels(folders_, &models_);
      } catch (...) {
        thrown_ = std::current_exception();
      }
    });
    started_ = true;
  } catch (const std::exception&) {
    // No thread to be had (std::system_error), or no memory for one: take loads them.
  }
}

void ModelLoading::wait() {
  if (thread_.joinable()) thread_.join();
}

Status ModelLoading::take(Models* models) {
  wait();
  if (!started_) status_ = loadModels(folders_, &models_);
  if (thrown_) std::rethrow_exception(thrown_);
  // Exchanged, not moved: OpenCV's networks have no move, and a copy left here would keep
  // the detector, with the memory of its layers, alive after the engine lets it go.
  *models = std::exchange(models_, Models());
  return status_;
}

}  // namespace quillfen::ppocr
