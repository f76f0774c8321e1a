// Picture files as a skin or a download hands them to the drawing layer.
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "fuzz/FuzzInput.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::InputFile file(data, size, "picture.png");
    try {
        GdiplusGfxLayer::Image picture(file.Path());
        GdiplusGfxLayer::Image canvas(64, 64);
        GdiplusGfxLayer::Painter painter(canvas);
        painter.DrawImageInRect(picture, Vabo::Rect{0, 0, 64, 64});
    } catch (const GdiplusGfxLayer::Image::InvalidImageException&) {
        // A refused picture is the expected answer to most inputs.
    }
    return 0;
}
