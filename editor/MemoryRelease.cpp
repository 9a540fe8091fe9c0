#include "editor/MemoryRelease.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void MemoryRelease::afterWorkOn(long long chars)
{
#if defined(__GLIBC__)
    if (chars >= 2 * 1024 * 1024)
        malloc_trim(0);
#else
    (void)chars;
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
