#include "platform/AllocatorTuning.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    constexpr int TrimThreshold = 256 * 1024 * 1024; // bytes of free memory kept before trimming
    constexpr int MmapThreshold = 64 * 1024 * 1024;  // bytes from which a block gets its own mapping
    mallopt(M_TRIM_THRESHOLD, TrimThreshold);
    mallopt(M_MMAP_THRESHOLD, MmapThreshold);
#endif
}
