#pragma once

namespace quillfen::platform {

// Starts the program once more, with the same arguments, with glibc's malloc asking the
// kernel for transparent huge pages (GLIBC_TUNABLES=glibc.malloc.hugetlb=1), where the
// kernel grants them only on request ("madvise", as Debian ships it). The engines fill
// hundreds of megabytes of fresh memory for every picture, page by page: with 2 MB pages
// the kernel takes a fiftieth of the page faults, which took a fifth of a run's time on a
// photo and half of Tesseract's start on a small one. Restarting costs one more loading of
// the shared libraries (about 30 ms).
// Called before any library's initialisers, with main's arguments and environment. Returns
// when the program goes on as it is: huge pages already asked for (by the restart, or by a
// caller's own GLIBC_TUNABLES, which stands), granted to every process or to none, another
// allocator in place of malloc's (a sanitizer's, or one preloaded), or no restart to be
// had. Uses no heap.
void restartWithHugePages(char** arguments, char** environment);

}  // namespace quillfen::platform
