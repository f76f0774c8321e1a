#include "platform/PictureDecoder.h"

#include "platform/GifDecoder.h"
#include "platform/PictureHeader.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace Platform {
namespace {

struct SdlSurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;

std::uint32_t Premultiply(std::uint32_t argb)
{
    const std::uint32_t a = argb >> 24;
    if (a == 255)
        return argb;
    const auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (scale((argb >> 16) & 0xFF) << 16) | (scale((argb >> 8) & 0xFF) << 8) | scale(argb & 0xFF);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        if (bytes.size() + got > kMaxPictureFileBytes) {
            error = "file larger than the limit of " + std::to_string(kMaxPictureFileBytes) + " bytes";
            return false;
        }
        bytes.append(buffer, got);
    }
    if (std::ferror(file.get())) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

CairoSurfacePtr DecodePicture(const std::string& path, std::string& error)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes, error))
        return nullptr;
    return DecodePictureData(bytes, error);
}

CairoSurfacePtr DecodePictureData(const std::string& bytes, std::string& error)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (IsGif(data, bytes.size()))
        return DecodeGif(data, bytes.size(), kMaxPictureSide, error);
    int declaredWidth = 0;
    int declaredHeight = 0;
    if (!ReadDeclaredSize(data, bytes.size(), declaredWidth, declaredHeight, error))
        return nullptr;
    if (declaredWidth > kMaxPictureSide || declaredHeight > kMaxPictureSide) {
        error = "declares " + std::to_string(declaredWidth) + " x " + std::to_string(declaredHeight)
            + " pixels, more than the limit of " + std::to_string(kMaxPictureSide) + " a side";
        return nullptr;
    }
    if (!CheckPictureChunks(data, bytes.size(), error))
        return nullptr;
    SdlSurfacePtr loaded(IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    if (!loaded) {
        error = IMG_GetError();
        return nullptr;
    }
    if (loaded->w > kMaxPictureSide || loaded->h > kMaxPictureSide) {
        error = "decodes to " + std::to_string(loaded->w) + " x " + std::to_string(loaded->h)
            + " pixels, more than the limit of " + std::to_string(kMaxPictureSide) + " a side";
        return nullptr;
    }
    // SDL's ARGB8888 is a native-endian 32-bit word, as Cairo's ARGB32 is;
    // converting also turns a colour key into transparent pixels.
    SdlSurfacePtr argb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!argb) {
        error = SDL_GetError();
        return nullptr;
    }
    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, argb->w, argb->h));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        error = cairo_status_to_string(cairo_surface_status(surface.get()));
        return nullptr;
    }
    if (SDL_LockSurface(argb.get()) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    cairo_surface_flush(surface.get());
    unsigned char* target = cairo_image_surface_get_data(surface.get());
    const int targetStride = cairo_image_surface_get_stride(surface.get());
    const auto* source = static_cast<const unsigned char*>(argb->pixels);
    for (int y = 0; y < argb->h; ++y) {
        const unsigned char* sourceRow = source + static_cast<std::ptrdiff_t>(y) * argb->pitch;
        unsigned char* targetRow = target + static_cast<std::ptrdiff_t>(y) * targetStride;
        for (int x = 0; x < argb->w; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, sourceRow + 4 * x, 4);
            pixel = Premultiply(pixel);
            std::memcpy(targetRow + 4 * x, &pixel, 4);
        }
    }
    SDL_UnlockSurface(argb.get());
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

} // namespace Platform
