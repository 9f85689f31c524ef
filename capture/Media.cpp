#include "Media.h"

#include "Words.h"

#include <cstdio>
#include <dlfcn.h>
#include <mutex>

namespace {
std::once_flag g_loaded;
const Media* g_media = nullptr;
std::string g_error;

/// Where the plugin is: below the program's folder's parent, as "bin/../lib/orvelle/plugins/" once installed
/// and as "app/../lib/orvelle/plugins/" in the build tree (where the tests and benchmarks are one folder
/// deep too).
std::filesystem::path PluginPath()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return program.parent_path().parent_path() / ORVELLE_MEDIA_PLUGIN;
}

void Load()
{
    const std::filesystem::path path = PluginPath();
    // Its libraries are bound now, so that one missing shows here rather than as a crash at first use.
    void* plugin = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    using Entry = const Media* (*)();
    const auto entry = plugin ? reinterpret_cast<Entry>(dlsym(plugin, "OrvelleMedia")) : nullptr;
    if (entry)
        g_media = entry();
    if (g_media)
        return;
    const char* reason = dlerror();
    g_error = Arg(Tr("Media", "Cannot load %1, without which there are no camera, pictures or videos: %2"),
                  {path.string(), reason ? reason : "no entry point"});
    std::fprintf(stderr, "%s\n", g_error.c_str());
}
} // namespace

const Media* LoadMedia()
{
    std::call_once(g_loaded, Load);
    return g_media;
}

std::string MediaError()
{
    LoadMedia();
    return g_error;
}
