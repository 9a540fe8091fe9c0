#include "editor/MemoryRelease.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void MemoryRelease::afterLargeWork()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void MemoryRelease::returnLargeBlocks()
{
#if defined(__GLIBC__)
    // (a fixed threshold also stops the allocator raising it after the first
    // large block is freed, which would keep every later one)
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}
