#pragma once
// The picture widget: shows a picture file (or a downloaded "http://"
// picture) at its own size. Scaled (the usual case) it draws the image
// server's copy made for its present size, and while that size keeps
// changing the picture scaled quickly straight onto the frame; unscaled it
// stretches the picture at its natural size when drawing.
#include "framework/core/GuiObject.h"
#include "framework/widgets/GfxLayerImageServer.h"
#include "platform/Clock.h"

#include <string>

class TiXmlElement;

namespace GdiplusGfxLayer {
class Painter;
}

namespace Vabo {

class Image : public GuiObject {
public:
    using Picture = GfxLayerImageServer_::Picture;

    // From the element's "ImageFile" (or "Filename") and "InterpMode";
    // throws XMLLoadSaveException when the picture cannot be shown.
    explicit Image(TiXmlElement* element);
    // Sized to the picture; throws GdiplusGfxLayer::Image::InvalidImageException
    // when the file cannot be decoded.
    Image(const std::string& fileName, bool scaled);
    // Takes the selectability and fixed size of `other`; sized to the
    // picture unless `other` is the object being built (a derived widget
    // that sizes itself).
    Image(GuiObject* other, const std::string& fileName);

    virtual bool IsImage() const { return true; }
    // Shows the picture file. False, logged, when it cannot be decoded; the
    // widget then keeps the picture it had.
    virtual bool SetImage(const std::string& fileName, bool resizeToPicture);
    // A name or an "http://"/"https://" address. An address is downloaded
    // once into the cache folder, off the GUI thread: the picture is shown
    // when it arrives (true means the download started). A name is tried as
    // folder + name + ".jpg" first, then as given.
    virtual bool Load(const std::string& name, const std::string& folder, bool resizeToPicture);
    // Draws the part `source` (in the widget's own pixels; converted to the
    // picture's pixels and written back in unscaled mode) into
    // `destination`, at the painter's opacity.
    virtual bool DrawInto(GdiplusGfxLayer::Painter& painter, Rect& source, const Rect& destination);

    // Scaled mode: the widget takes the picture's natural size.
    void SizeToPicture();
    // The picture at its natural size.
    Picture GetPicture();
    // Scaled mode: the copy at the widget's size (scaled quickly while the
    // size keeps changing); unscaled: none.
    Picture GetScaledPicture();

    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    bool LoadFromXML(TiXmlElement* element);

    const std::string& GetFileName() const { return fileName_; }
    int GetInterpolationMode() const { return interpolationMode_; }
    bool IsScaled() const { return scaled_; }

private:
    // Shows a downloaded picture; one that does not show loses its cache file.
    bool ShowDownloaded(const std::string& address, const std::string& cacheFile, bool resizeToPicture);
    // The scaled copy, or none when the picture no longer decodes.
    Picture DrawablePicture();
    // Notes the size drawn now; whether it is still changing (changed less
    // than a moment ago, after the first).
    bool SizeChanging();
    // Lets go of the copy held when it is of another size than the widget's.
    void LetGoOfOtherSize();

    // Once the size has rested, the quick copy is redrawn at its quality.
    void SettleSlot(Signal::Base* signal, GuiObject* source);
    // Made when a resize starts and ended once the picture has settled: a
    // picture at rest costs the clock's tick nothing.
    Connection settle_;

    std::string fileName_;
    int drawnWidth_ = 0;
    int drawnHeight_ = 0;
    bool resizing_ = false;
    Platform::Milliseconds resizedAt_ = 0;
    int interpolationMode_ = 7;
    Picture sharedPicture_;
    // Scaled mode: the copy last drawn.
    Picture scaledPicture_;
    bool scaled_ = true;
};

} // namespace Vabo
