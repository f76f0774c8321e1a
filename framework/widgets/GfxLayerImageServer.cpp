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
// The passing copies of all paths together: a resize of a large picture
// leaves no more than this behind.
constexpr std::size_t kPassingBytes = 4 * 1024 * 1024;

using Entries = std::list<std::shared_ptr<GfxLayerImageServer_::ImageCache>>;

// A copy someone holds besides the cache (a widget keeps the copy it draws)
// is in use; one nobody holds is a size passing by.
bool Held(const GfxLayerImageServer_::ImageCache& entry)
{
    return entry.picture.use_count() > 1;
}

std::size_t Bytes(const GfxLayerImageServer_::ImageCache& entry)
{
    return static_cast<std::size_t>(entry.width) * static_cast<std::size_t>(entry.height) * 4;
}

// The least recently used copy other than `taken`, one nobody holds if there
// is one.
Entries::iterator Oldest(Entries& entries, const std::shared_ptr<GfxLayerImageServer_::ImageCache>& taken)
{
    auto oldest = entries.end();
    for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
        if (*entry == taken)
            continue;
        if (oldest == entries.end() || Held(**oldest) > Held(**entry)
            || (Held(**oldest) == Held(**entry) && (*entry)->lastUse < (*oldest)->lastUse))
            oldest = entry;
    }
    return oldest;
}

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
    bool made = true;
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
        } else {
            made = false;
        }
    }
    // Bounded: resizing asks for a new size on every step. Every size in use
    // keeps its copy, so that a frame drawing one picture at several sizes
    // does not scale one of them again on every draw.
    auto& entries = list->second;
    const auto inUse = static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [](const auto& entry) { return Held(*entry); }));
    const std::size_t most = std::min(inUse + kPassingCopies, kMostCopiesPerPath);
    while (entries.size() > most)
        entries.erase(Oldest(entries, taken));
    if (made)
        DropPassingBeyondBudget(taken);
    taken->lastUse = now;
    ++taken->useCount;
    return taken->picture;
}

void GfxLayerImageServer_::DropPassingBeyondBudget(const std::shared_ptr<ImageCache>& taken)
{
    for (;;) {
        std::size_t bytes = 0;
        Entries* oldestList = nullptr;
        Entries::iterator oldest;
        for (auto& [path, entries] : cache_) {
            for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
                if (*entry == taken || Held(**entry))
                    continue;
                bytes += Bytes(**entry);
                if (!oldestList || (*entry)->lastUse < (*oldest)->lastUse) {
                    oldestList = &entries;
                    oldest = entry;
                }
            }
        }
        if (bytes <= kPassingBytes)
            return;
        oldestList->erase(oldest);
    }
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
