#pragma once
// Decodes picture files into Cairo image surfaces of premultiplied ARGB32, the
// form every drawing uses: BMP, PNG and JPEG with SDL2_image, GIF with our own
// decoder (GifDecoder.h).
// Pictures are untrusted: the size a file declares is read first, and a file
// or a picture over the limits is refused before anything is decoded.
#include "platform/CairoSurfacePtr.h"

#include <cstddef>
#include <string>

namespace Platform {

// The largest width and height a picture may have, and the largest file.
constexpr int kMaxPictureSide = 8192;
constexpr std::size_t kMaxPictureFileBytes = 64u * 1024 * 1024;

// The decoded picture, or null with the reason in `error`.
CairoSurfacePtr DecodePicture(const std::string& path, std::string& error);
// The same for a picture held in memory.
CairoSurfacePtr DecodePictureData(const std::string& bytes, std::string& error);

} // namespace Platform
