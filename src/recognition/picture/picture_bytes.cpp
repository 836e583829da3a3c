#include "recognition/picture/picture_bytes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quillfen::picture {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<PictureBytes> readPictureBytes(const std::string& path, const PrefixCheck& check, std::size_t maxBytes) {
  // Opened without blocking, so that a device that waits in open() does not hold the run
  // up; reads then block as usual.
  Descriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return std::nullopt;
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  const int flags = fcntl(fd.get(), F_GETFL);
  if (flags < 0 || fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return std::nullopt;
  // A FIFO opened this way reads as empty until a writer opens it; wait for the writer's
  // first bytes or its close, as a blocking open (cat) would.
  if (S_ISFIFO(info.st_mode)) {
    pollfd writer{fd.get(), POLLIN, 0};
    while (poll(&writer, 1, -1) < 0) {
      if (errno != EINTR) return std::nullopt;
    }
  }

  // A regular file's size is known: one block of that size. A stream grows its block;
  // realloc moves large blocks by remapping, so growth does not hold two copies.
  const bool regular = S_ISREG(info.st_mode);
  if (regular && static_cast<std::uint64_t>(info.st_size) > maxBytes) return std::nullopt;
  std::size_t capacity = regular ? static_cast<std::size_t>(info.st_size) + 1 : std::size_t{1} << 16;

  PictureBytes bytes;
  std::size_t size = 0;
  bool prefixChecked = !check.accepts;
  auto* block = static_cast<std::uint8_t*>(std::malloc(capacity));
  if (block == nullptr) return std::nullopt;
  bytes.data_.reset(block);
  while (true) {
    if (size == capacity) {
      if (capacity > maxBytes) return std::nullopt;  // one byte past the limit was read
      const std::size_t grown = std::min(capacity * 2, maxBytes + 1);
      auto* larger = static_cast<std::uint8_t*>(std::realloc(bytes.data_.get(), grown));
      if (larger == nullptr) return std::nullopt;
      bytes.data_.release();
      bytes.data_.reset(larger);
      capacity = grown;
    }
    const ssize_t got = read(fd.get(), bytes.data_.get() + size, capacity - size);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
    if (!prefixChecked && size >= check.prefixBytes) {
      if (!check.accepts(bytes.data_.get(), size)) return std::nullopt;
      prefixChecked = true;
    }
  }
  if (!prefixChecked && !check.accepts(bytes.data_.get(), size)) return std::nullopt;
  if (size > maxBytes) return std::nullopt;
  bytes.size_ = size;
  return bytes;
}

}  // namespace quillfen::picture
