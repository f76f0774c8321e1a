#include "framework/widgets/GfxLayerImageServer.h"

#include "framework/core/DocMap.h"
#include "framework/core/Singleton.h"
#include "platform/Clock.h"

#include <algorithm>

namespace Vabo {
namespace {

// Copies of a path kept beside the sizes in use, for sizes passing by (a
// resize asks for a new one on every step) ...
constexpr std::size_t kPassingCopies = 3;
// ... and at most this many in all, however many sizes are drawn: memory.
constexpr std::size_t kMostCopiesPerPath = 16;
// A size asked for again within this long is in use (drawn frame after frame).
constexpr double kInUseSeconds = 1.0;
constexpr int kQuickMode = 1; // the fast filter

} // namespace

GfxLayerImageServer_::ImageCache::ImageCache(const Picture& original, int width, int height, int interpolationMode)
    : width(width)
    , height(height)
{
    if (width == -1 || height == -1) {
        picture = original;
        return;
    }
    picture = std::make_shared<GdiplusGfxLayer::Image>(width, height);
    picture->DrawImageScaled(*original, 0, 0, width, height, interpolationMode);
}

GfxLayerImageServer_::GfxLayerImageServer_()
    : start_(Platform::NowMs())
{
}

void GfxLayerImageServer_::ResolvePath(std::string& path)
{
    const std::size_t library = path.find("$VABO/");
    if (library != std::string::npos) {
        path = DllDocMapInstance().GetLibraryFolder() + "/" + path.substr(library + 5);
        return;
    }
    if (!path.empty() && path[0] == '/')
        return;
    path = DllDocMapInstance().GetAppFolder() + "/" + path;
}

GfxLayerImageServer_::Picture GfxLayerImageServer_::Original(const std::string& resolvedPath)
{
    auto found = originals_.find(resolvedPath);
    if (found != originals_.end())
        return found->second;
    auto original = std::make_shared<GdiplusGfxLayer::Image>(resolvedPath);
    originals_.emplace(resolvedPath, original);
    return original;
}

GfxLayerImageServer_::Picture GfxLayerImageServer_::GetImage(bool exactSize, std::string path, int width, int height,
                                                             int interpolationMode, bool quick)
{
    ResolvePath(path);
    if (width < 1 || height < 1)
        return Original(path);
    const double now = static_cast<double>(Platform::NowMs() - start_) * 0.001;

    std::shared_ptr<ImageCache> taken;
    auto list = cache_.find(path);
    if (list == cache_.end()) {
        // The first copy of a path is scaled with the default interpolation.
        taken = std::make_shared<ImageCache>(Original(path), width, height, quick ? kQuickMode : 0);
        taken->quick = quick;
        list = cache_.emplace(path, std::list<std::shared_ptr<ImageCache>>{taken}).first;
    } else {
        auto& entries = list->second;
        for (auto entry = entries.begin(); entry != entries.end();) {
            ImageCache& e = **entry;
            if (!exactSize || (e.width == width && e.height == height)) {
                taken = *entry;
                ++entry;
                continue;
            }
            const bool stale = e.useCount != 0 && now - e.lastUse > 5.0 && entries.size() >= 2;
            const bool unused = e.useCount == 0 && entries.size() > 1;
            if (stale || unused)
                entry = entries.erase(entry);
            else
                ++entry;
        }
        if (!taken) {
            taken = std::make_shared<ImageCache>(Original(path), width, height, quick ? kQuickMode : interpolationMode);
            taken->quick = quick;
            entries.push_back(taken);
        } else if (taken->quick && exactSize && !quick) {
            // The size has settled: the copy is made again at its quality.
            const int uses = taken->useCount;
            *taken = ImageCache(Original(path), width, height, interpolationMode);
            taken->useCount = uses;
        }
    }
    // Bounded: resizing asks for a new size on every step. Every size in use
    // keeps its copy, so that a frame drawing one picture at several sizes
    // does not scale one of them again on every draw.
    auto& entries = list->second;
    const std::size_t most = std::min(CountSizesInUse(path, width, height, now) + kPassingCopies, kMostCopiesPerPath);
    while (entries.size() > most) {
        auto oldest = entries.end();
        for (auto entry = entries.begin(); entry != entries.end(); ++entry)
            if (*entry != taken && (oldest == entries.end() || (*entry)->lastUse < (*oldest)->lastUse))
                oldest = entry;
        entries.erase(oldest);
    }
    taken->lastUse = now;
    ++taken->useCount;
    return taken->picture;
}

std::size_t GfxLayerImageServer_::CountSizesInUse(const std::string& resolvedPath, int width, int height, double now)
{
    std::map<std::pair<int, int>, SizeUse>& sizes = asked_[resolvedPath];
    for (auto size = sizes.begin(); size != sizes.end();) {
        if (now - size->second.lastAsked > kInUseSeconds)
            size = sizes.erase(size);
        else
            ++size;
    }
    SizeUse& asked = sizes[{width, height}];
    ++asked.asks;
    asked.lastAsked = now;
    // Only sizes asked for again count: each step of a resize is asked once.
    return static_cast<std::size_t>(
        std::count_if(sizes.begin(), sizes.end(), [](const auto& size) { return size.second.asks > 1; }));
}

const std::list<std::shared_ptr<GfxLayerImageServer_::ImageCache>>*
GfxLayerImageServer_::GetEntries(const std::string& resolvedPath) const
{
    const auto found = cache_.find(resolvedPath);
    return found == cache_.end() ? nullptr : &found->second;
}

GfxLayerImageServer_& DllGfxLayerImageServerInstance()
{
    return SingletonHolder<GfxLayerImageServer_>::Instance();
}

} // namespace Vabo
