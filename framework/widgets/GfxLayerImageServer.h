#pragma once
// The process-wide cache of pictures: each file is decoded once and kept at
// its natural size; copies scaled to the sizes widgets ask for are made once
// per size and shared, and copies of other sizes age out when a widget asks
// for a new size. Every size in use (a copy someone holds besides the cache,
// as each picture widget holds the copy it draws) keeps its copy, with room
// for three copies nobody holds and at most sixteen in all; beyond that the
// least recently used copy nobody holds goes first. The copies nobody holds
// take at most 4 MB over all paths, so a resize leaves little behind. While a
// size is still changing a copy may be scaled quickly and is scaled again
// with the asked interpolation when that size is asked for at leisure.
// Pictures are handed out by shared pointer, so a copy the cache drops stays
// valid for whoever still holds it.
#include "framework/drawing/Image.h"

#include <list>
#include <map>
#include <memory>
#include <string>

namespace Vabo {

class GfxLayerImageServer_ {
public:
    using Picture = std::shared_ptr<GdiplusGfxLayer::Image>;
    // The interpolation of quick copies: the fast filter.
    static constexpr int kQuickMode = 1;

    // One picture of one path at one size.
    struct ImageCache {
        // A copy of `original` scaled to width x height with the mode (0
        // keeps the default interpolation); with a width or height of -1
        // the original itself.
        ImageCache(const Picture& original, int width, int height, int interpolationMode);

        int useCount = 0;
        bool quick = false; // scaled with the fast filter, to be redone
        double lastUse = 0.0; // seconds since the server started
        Picture picture;
        int width;
        int height;
    };

    GfxLayerImageServer_();
    GfxLayerImageServer_(const GfxLayerImageServer_&) = delete;
    GfxLayerImageServer_& operator=(const GfxLayerImageServer_&) = delete;

    // "$VABO/..." into the library folder, an absolute path unchanged,
    // anything else below the application folder.
    static void ResolvePath(std::string& path);

    // The picture of the path at width x height. Without a size (either
    // below 1) the picture at its natural size. With exactSize false any
    // cached size will do (the newest); with it true, copies of other sizes
    // unused for more than 5 seconds (and copies never used) are dropped,
    // but never the last one of the path. Throws
    // GdiplusGfxLayer::Image::InvalidImageException when the file cannot be
    // decoded.
    // With quick set, a copy made now is scaled with the fast filter (for a
    // size that is still changing); a copy scaled so is scaled again with the
    // asked mode by the next exact request without quick.
    Picture GetImage(bool exactSize, std::string path, int width, int height, int interpolationMode,
                     bool quick = false);

    // The cached copies of a resolved path, oldest first.
    const std::list<std::shared_ptr<ImageCache>>* GetEntries(const std::string& resolvedPath) const;

private:
    Picture Original(const std::string& resolvedPath);
    // Drops the least recently used copies nobody holds (but `taken`) until
    // those left take no more than the budget.
    void DropPassingBeyondBudget(const std::shared_ptr<ImageCache>& taken);

    long long start_;
    std::map<std::string, std::list<std::shared_ptr<ImageCache>>> cache_;
    std::map<std::string, Picture> originals_;
};

// The one image server of the process.
GfxLayerImageServer_& DllGfxLayerImageServerInstance();

} // namespace Vabo
