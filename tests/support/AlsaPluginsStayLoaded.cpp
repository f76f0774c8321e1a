// PortAudio probes every ALSA device at start-up, loading plugins that it
// unloads again; the a52 plugin's codec libraries leave a small allocation
// behind that LeakSanitizer, no longer able to see their memory, reports as a
// leak in an unknown module. Keeping that plugin mapped lets LeakSanitizer see
// the allocation is still referenced.
#include <dlfcn.h>

namespace {

struct KeepPluginMapped {
    KeepPluginMapped()
    {
        ::dlopen("/usr/lib/x86_64-linux-gnu/alsa-lib/libasound_module_pcm_a52.so", RTLD_LAZY | RTLD_NODELETE);
    }
} keepPluginMapped;

} // namespace
