#include "framework/widgets/Image.h"

#include "framework/core/InputSignals.h"
#include "framework/core/Registration.h"
#include "framework/drawing/Painter.h"
#include "framework/core/ScreenManagerNotReady.h"
#include "framework/widgets/PictureDownload.h"
#include "framework/widgets/PictureFetcher.h"
#include "platform/HttpFetch.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

#include <cstdio>
#include <map>
#include <unistd.h>

namespace Vabo {
namespace {

const RegisterClass<Image> imageClass("Vabo::Image", "$VABO/Objects/Image/Image.xml",
                                      [](TiXmlElement* element) { return new Image(element); });

bool InterpolationModeByName(const std::string& name, int& mode)
{
    static const std::map<std::string, int> modes = {
        {"Default", 0}, {"LowQuality", 1},      {"HighQuality", 2},         {"Bilinear", 3},
        {"Bicubic", 4}, {"NearestNeighbor", 5}, {"HighQualityBilinear", 6}, {"HighQualityBicubic", 7},
    };
    const auto found = modes.find(name);
    if (found == modes.end())
        return false;
    mode = found->second;
    return true;
}

// How long a size must rest before its picture is scaled at full quality.
constexpr Platform::Milliseconds kSettleMs = 250;

} // namespace

Image::Image(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
    RegisterLoader(element, this);
}

Image::Image(const std::string& fileName, bool scaled)
    : GuiObject(1, 0)
    , fileName_(fileName)
    , scaled_(scaled)
{
    if (!scaled_)
        sharedPicture_ = DllGfxLayerImageServerInstance().GetImage(true, fileName_, -1, -1, 0);
    SizeToPicture();
}

Image::Image(GuiObject* other, const std::string& fileName)
    : GuiObject(other == this ? 1 : other->IsUnselectable(), other == this ? 0 : other->GetFixedSize())
    , fileName_(fileName)
{
    if (other != this)
        SizeToPicture();
}

bool Image::SetImage(const std::string& fileName, bool resizeToPicture)
{
    const std::string previous = fileName_;
    try {
        scaledPicture_.reset();
        if (scaled_) {
            const int width = GetWidth();
            const int height = GetHeight();
            fileName_ = fileName;
            if (resizeToPicture) {
                SizeToPicture();
            } else {
                SetSize(width, height);
                // Made now so that the first frame finds the copy.
                DllGfxLayerImageServerInstance().GetImage(true, fileName_, width, height, 0);
            }
        } else {
            sharedPicture_ = DllGfxLayerImageServerInstance().GetImage(true, fileName, -1, -1, 0);
            fileName_ = fileName;
        }
    } catch (const GdiplusGfxLayer::Image::InvalidImageException&) {
        // Keeping the old name spares every later frame a failing decode.
        fileName_ = previous;
        Platform::Log("Vabo::Image::SetImage : Failed to create image " + fileName);
        return false;
    }
    return true;
}

bool Image::Load(const std::string& name, const std::string& folder, bool resizeToPicture)
{
    if (Platform::IsHttpAddress(name)) {
        const std::string cacheFile = CachedPictureFile(name);
        if (!cacheFile.empty())
            return ShowDownloaded(name, cacheFile, resizeToPicture);
        // Fetched off the GUI thread; the widget keeps its picture until the
        // new one arrives.
        std::weak_ptr<void> alive = Watch();
        PictureFetcher::Instance().Fetch(name, [this, alive, name, resizeToPicture](bool ok, const std::string& file) {
            if (ok && !alive.expired())
                ShowDownloaded(name, file, resizeToPicture);
        });
        return true;
    }
    const std::string jpeg = folder + name + ".jpg";
    if (access(jpeg.c_str(), R_OK) == 0)
        return SetImage(jpeg, resizeToPicture);
    return SetImage(name, resizeToPicture);
}

bool Image::ShowDownloaded(const std::string& address, const std::string& cacheFile, bool resizeToPicture)
{
    if (!SetImage(cacheFile, resizeToPicture)) {
        // Not a picture: dropped, so that the next run asks the address again.
        std::remove(cacheFile.c_str());
        Platform::Log("Vabo::Image::Load : " + address + " is not a picture; cache file removed");
        return false;
    }
    try {
        Invalidate();
    } catch (const ScreenManagerNotReady&) {
        // Not shown in a window yet: the first frame draws it.
    }
    return true;
}

void Image::SizeToPicture()
{
    if (!scaled_)
        return;
    const Picture picture = GetPicture();
    SetSize(picture->GetWidth(), picture->GetHeight());
}

Image::Picture Image::GetPicture()
{
    if (!scaled_)
        return sharedPicture_;
    return DllGfxLayerImageServerInstance().GetImage(true, fileName_, -1, -1, 0);
}

bool Image::SizeChanging()
{
    const Platform::Milliseconds now = Platform::NowMs();
    if (GetWidth() != drawnWidth_ || GetHeight() != drawnHeight_) {
        resizing_ = drawnWidth_ != 0 || drawnHeight_ != 0;
        resizedAt_ = now;
        if (resizing_) {
            if (!settle_.connected())
                settle_ = AddScheduledTickSlot(&Image::SettleSlot, this);
            Platform::RequestTickAt(now + kSettleMs);
        }
        drawnWidth_ = GetWidth();
        drawnHeight_ = GetHeight();
    }
    return resizing_ && now - resizedAt_ < kSettleMs;
}

void Image::LetGoOfOtherSize()
{
    // The server counts a copy nobody holds among the sizes passing by.
    if (scaledPicture_ && (scaledPicture_->GetWidth() != GetWidth() || scaledPicture_->GetHeight() != GetHeight()))
        scaledPicture_.reset();
}

Image::Picture Image::GetScaledPicture()
{
    if (!scaled_)
        return nullptr;
    const bool quick = SizeChanging();
    LetGoOfOtherSize();
    // Held, the copy counts as in use with the server and outlives the sizes
    // a resize passes through.
    scaledPicture_ = DllGfxLayerImageServerInstance().GetImage(true, fileName_, GetWidth(), GetHeight(),
                                                               interpolationMode_, quick);
    return scaledPicture_;
}

void Image::SettleSlot(Signal::Base*, GuiObject*)
{
    if (!resizing_)
        return;
    if (Platform::NowMs() - resizedAt_ < kSettleMs) {
        Platform::RequestTickAt(resizedAt_ + kSettleMs);
        return;
    }
    resizing_ = false;
    Disconnect(settle_, Signal::TypeIdOf<Signal::Timer>());
    try {
        Invalidate();
    } catch (const ScreenManagerNotReady&) {
        // Not in a window: nothing to redraw.
    }
}

Image::Picture Image::DrawablePicture()
{
    // A picture that cannot be decoded draws nothing.
    try {
        return GetScaledPicture();
    } catch (const GdiplusGfxLayer::Image::InvalidImageException&) {
        return nullptr;
    }
}

bool Image::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    if (!IsVisible())
        return true;
    if (scaled_) {
        // While the size still changes the picture is drawn from its original
        // straight onto the frame, with the pixels of a quick copy: no copy
        // is made for a size about to pass.
        if (SizeChanging()) {
            LetGoOfOtherSize();
            Picture original;
            try {
                original = GetPicture();
            } catch (const GdiplusGfxLayer::Image::InvalidImageException&) {
                return false;
            }
            if (painter.DrawImageScaledInPlace(*original, GetX(), GetY(), GetWidth(), GetHeight(),
                                               GfxLayerImageServer_::kQuickMode))
                return true;
        }
        const Picture picture = DrawablePicture();
        if (!picture)
            return false;
        return painter.DrawImageScaled(*picture, GetX(), GetY(), picture->GetWidth(), picture->GetHeight(), 0);
    }
    if (!sharedPicture_)
        return false;
    return painter.DrawImageScaled(*sharedPicture_, GetX(), GetY(), GetWidth(), GetHeight(), 0);
}

bool Image::DrawInto(GdiplusGfxLayer::Painter& painter, Rect& source, const Rect& destination)
{
    if (scaled_) {
        const Picture picture = DrawablePicture();
        if (!picture)
            return false;
        return painter.DrawImageRect(*picture, source, destination);
    }
    if (!sharedPicture_ || GetWidth() <= 0 || GetHeight() <= 0)
        return false;
    const double sx = static_cast<double>(sharedPicture_->GetWidth()) / GetWidth();
    const double sy = static_cast<double>(sharedPicture_->GetHeight()) / GetHeight();
    source = Rect{static_cast<int>(source.x * sx), static_cast<int>(source.y * sy), static_cast<int>(source.width * sx),
                  static_cast<int>(source.height * sy)};
    return painter.DrawImageRect(*sharedPicture_, source, destination);
}

bool Image::LoadFromXML(TiXmlElement* element)
{
    std::string name;
    if (!ReadXmlAttribute(name, element, "ImageFile", false))
        ReadXmlAttribute(name, element, "Filename", true);
    if (name.empty()) {
        Platform::Log("Image: ImageFile attribute missing in xml");
        return false;
    }
    std::string mode;
    if (ReadXmlAttribute(mode, element, "InterpMode", false))
        InterpolationModeByName(mode, interpolationMode_);
    if (!SetImage(name, false)) {
        Platform::Log("Image: failed to load image " + name);
        return false;
    }
    return true;
}

} // namespace Vabo
