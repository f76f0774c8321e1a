#pragma once
// Decodes picture files (BMP, PNG, JPEG, GIF) with SDL2_image into Cairo
// image surfaces of premultiplied ARGB32, the form every drawing uses.
#include "platform/CairoSurfacePtr.h"

#include <string>

namespace Platform {

// The decoded picture, or null with the reason in `error`.
CairoSurfacePtr DecodePicture(const std::string& path, std::string& error);

} // namespace Platform
