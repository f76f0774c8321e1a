#pragma once
// Decodes the first image of a GIF file (GIF87a or GIF89a) into a Cairo image
// surface of premultiplied ARGB32, every read and every table index bounded.
// The image is placed on the file's logical screen, grown to hold the whole
// image where it reaches past the screen; the screen around the image is
// transparent, and so is the colour a Graphic Control Extension before the
// image names transparent. A file without any colour table is black where it
// is not transparent. Later images of an animation are not read.
#include "platform/CairoSurfacePtr.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

// True when the bytes start with a GIF signature.
bool IsGif(const unsigned char* data, std::size_t size);

// The screen around the image is transparent and filled by no data, so a few
// bytes can ask for any screen: a picture larger than its image has at most
// this many pixels (64 MiB of picture). One its image fills is weighed by its
// data instead.
constexpr std::uint64_t GifMaxScreenPixels = std::uint64_t(1) << 24;
// An image of more than this many pixels must be one its data could fill.
constexpr std::uint64_t GifLargeImagePixels = std::uint64_t(1) << 20;

// The picture, or null with the reason, naming the byte, in `error`. Refused
// before any pixel is decoded: a picture wider or higher than `maxSide`, one
// larger than its image and of more than GifMaxScreenPixels pixels, and an
// image of more than GifLargeImagePixels pixels that its data could not fill.
// A colour outside the image's table is refused where the data first names it.
CairoSurfacePtr DecodeGif(const unsigned char* data, std::size_t size, int maxSide, std::string& error);

} // namespace Platform
