// Under the leak checker: Mesa unloads its software driver at exit, before
// the checker looks, and the driver's own allocations then belong to no module
// and cannot be told from ours. Keeping the driver loaded keeps them reachable
// from its globals, so only real leaks are reported.
#if defined(QUILLORA_SANITIZE) && defined(__linux__)
#include <dlfcn.h>

#include <initializer_list>

namespace
{
struct KeepSoftwareDriverLoaded
{
    KeepSoftwareDriverLoaded()
    {
        for (const char* path : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "/usr/lib/aarch64-linux-gnu/dri/swrast_dri.so",
                                 "/usr/lib/dri/swrast_dri.so"})
        {
            if (dlopen(path, RTLD_NOW | RTLD_NODELETE))
                return;
        }
    }
} keepSoftwareDriverLoaded;
} // namespace
#endif
