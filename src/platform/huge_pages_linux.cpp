#include "platform/huge_pages.h"

#include <fcntl.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstring>
#include <iterator>

namespace quillfen::platform {
namespace {

constexpr char kTunablesName[] = "GLIBC_TUNABLES=";
constexpr std::size_t kTunablesNameLength = sizeof kTunablesName - 1;
constexpr char kHugePagesSetting[] = "glibc.malloc.hugetlb";
constexpr char kHugePagesOn[] = "glibc.malloc.hugetlb=1";

// The restarted program's environment and its GLIBC_TUNABLES entry, in static storage:
// the heap is not to be used this early. Larger environments are not restarted.
char* restartEnvironment[8192];
char tunablesEntry[4096];

bool sanitizerAllocator() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

// Whether the kernel grants transparent huge pages only where they are asked for: its
// mode file then reads "always [madvise] never".
bool hugePagesOnRequest() {
  const int file = open("/sys/kernel/mm/transparent_hugepage/enabled", O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  char mode[128] = {};
  const ssize_t length = read(file, mode, sizeof mode - 1);
  close(file);
  return length > 0 && std::strstr(mode, "[madvise]") != nullptr;
}

bool isTunables(const char* entry) { return std::strncmp(entry, kTunablesName, kTunablesNameLength) == 0; }

// GLIBC_TUNABLES with the caller's settings (may be null) and huge pages; false when it
// does not fit.
bool writeTunablesEntry(const char* callerSettings) {
  const std::size_t callerLength = callerSettings != nullptr ? std::strlen(callerSettings) : 0;
  const std::size_t length = kTunablesNameLength + callerLength + 1 + sizeof kHugePagesOn;
  if (length > sizeof tunablesEntry) return false;
  char* out = tunablesEntry;
  out = static_cast<char*>(std::memcpy(out, kTunablesName, kTunablesNameLength)) + kTunablesNameLength;
  if (callerLength > 0) {
    out = static_cast<char*>(std::memcpy(out, callerSettings, callerLength)) + callerLength;
    *out++ = ':';
  }
  std::memcpy(out, kHugePagesOn, sizeof kHugePagesOn);
  return true;
}

}  // namespace

void restartWithHugePages(char** arguments, char** environment) {
  // Not restarted: with a sanitizer's allocator; in a privileged (set-user-ID) start, where
  // glibc ignores the setting; when the program was started by running the dynamic loader
  // on it (no interpreter base), where /proc/self/exe is the loader.
  if (arguments == nullptr || environment == nullptr || sanitizerAllocator() || getauxval(AT_SECURE) != 0 ||
      getauxval(AT_BASE) == 0) {
    return;
  }
  const char* callerSettings = nullptr;  // glibc reads the first GLIBC_TUNABLES
  std::size_t entries = 0;
  for (char** entry = environment; *entry != nullptr; ++entry, ++entries) {
    if (callerSettings == nullptr && isTunables(*entry)) callerSettings = *entry + kTunablesNameLength;
    // A preloaded library may stand in for malloc (another allocator, a memory checker):
    // the setting would mean nothing to it.
    if (std::strncmp(*entry, "LD_PRELOAD=", 11) == 0 && (*entry)[11] != '\0') return;
  }
  if (callerSettings != nullptr && std::strstr(callerSettings, kHugePagesSetting) != nullptr) return;
  if (entries + 2 > std::size(restartEnvironment) || !writeTunablesEntry(callerSettings) || !hugePagesOnRequest()) {
    return;
  }
  std::size_t kept = 0;
  for (char** entry = environment; *entry != nullptr; ++entry) {
    if (!isTunables(*entry)) restartEnvironment[kept++] = *entry;
  }
  restartEnvironment[kept++] = tunablesEntry;
  restartEnvironment[kept] = nullptr;
  execve("/proc/self/exe", arguments, restartEnvironment);
  // Still here: the program goes on without the restart.
}

}  // namespace quillfen::platform
