#include "framework/host/CreateRegionFromBitmap.h"

#include <cstdint>
#include <cstring>

namespace Vabo {

std::optional<std::vector<Platform::Rect>> CreateRegionFromBitmap(cairo_surface_t* bitmap, int threshold, bool keep)
{
    if (!bitmap || cairo_surface_get_type(bitmap) != CAIRO_SURFACE_TYPE_IMAGE
        || cairo_image_surface_get_format(bitmap) != CAIRO_FORMAT_ARGB32)
        return std::nullopt;
    cairo_surface_flush(bitmap);
    const unsigned char* data = cairo_image_surface_get_data(bitmap);
    const int width = cairo_image_surface_get_width(bitmap);
    const int height = cairo_image_surface_get_height(bitmap);
    const int stride = cairo_image_surface_get_stride(bitmap);

    const auto qualifies = [&](const unsigned char* row, int x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, row + 4 * x, 4);
        const int alpha = static_cast<int>(pixel >> 24);
        return keep ? alpha >= threshold : alpha < threshold;
    };

    std::vector<Platform::Rect> runs;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
        int x = 0;
        while (x < width) {
            const int start = x;
            while (x < width && qualifies(row, x))
                ++x;
            if (x > start)
                runs.push_back(Platform::Rect{start, y, x - start, 1});
            ++x;
        }
    }
    return runs;
}

} // namespace Vabo
