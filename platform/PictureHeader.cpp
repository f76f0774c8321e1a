#include "platform/PictureHeader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Platform {
namespace {

std::uint32_t BigEndian16(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 8) | p[1];
}

std::uint32_t BigEndian32(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint32_t LittleEndian16(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}

std::uint32_t LittleEndian32(const unsigned char* p)
{
    return LittleEndian16(p) | (LittleEndian16(p + 2) << 16);
}

// Sizes beyond an int are reported as the largest int: refused all the same.
int Clamped(std::int64_t value)
{
    return value > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(value);
}

bool Png(const unsigned char* data, std::size_t size, int& width, int& height, std::string& error)
{
    // Signature, then the IHDR chunk: length, type, width, height.
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) {
        error = "PNG file ends before its header";
        return false;
    }
    width = Clamped(BigEndian32(data + 16));
    height = Clamped(BigEndian32(data + 20));
    return true;
}

bool Bmp(const unsigned char* data, std::size_t size, int& width, int& height, std::string& error)
{
    if (size < 26) {
        error = "BMP file ends before its header";
        return false;
    }
    const std::uint32_t headerSize = LittleEndian32(data + 14);
    if (headerSize == 12) {
        width = Clamped(LittleEndian16(data + 18));
        height = Clamped(LittleEndian16(data + 20));
        return true;
    }
    // Rows run upwards for a positive height and downwards for a negative one.
    width = Clamped(std::llabs(static_cast<std::int32_t>(LittleEndian32(data + 18))));
    height = Clamped(std::llabs(static_cast<std::int32_t>(LittleEndian32(data + 22))));
    return true;
}

bool Jpeg(const unsigned char* data, std::size_t size, int& width, int& height, std::string& error)
{
    // Segments follow the start marker until a start-of-frame gives the size.
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) {
            error = "JPEG file is damaged before its frame header";
            return false;
        }
        const unsigned char marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const std::size_t length = BigEndian16(data + at + 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > size)
                break;
            height = Clamped(BigEndian16(data + at + 5));
            width = Clamped(BigEndian16(data + at + 7));
            return true;
        }
        if (length < 2) {
            error = "JPEG file is damaged before its frame header";
            return false;
        }
        at += 2 + length;
    }
    error = "JPEG file ends before its frame header";
    return false;
}

} // namespace

bool ReadDeclaredSize(const unsigned char* data, std::size_t size, int& width, int& height, std::string& error)
{
    static const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 8 && std::memcmp(data, png, 8) == 0)
        return Png(data, size, width, height, error);
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return Bmp(data, size, width, height, error);
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return Jpeg(data, size, width, height, error);
    error = "not a BMP, PNG, JPEG or GIF picture";
    return false;
}

bool CheckPictureChunks(const unsigned char* data, std::size_t size, std::string& error)
{
    static const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || std::memcmp(data, png, 8) != 0)
        return true;
    // Every chunk up to the end marker must lie within the file: the decoder
    // skips a chunk it does not want by reading its declared length, and a
    // length past the end (one flipped bit is enough) holds it for minutes.
    std::size_t at = 8;
    while (at + 8 <= size) {
        const std::uint64_t length = BigEndian32(data + at);
        if (at + 12 + length > size) {
            error = "PNG chunk at byte " + std::to_string(at) + " runs past the end of the file";
            return false;
        }
        if (std::memcmp(data + at + 4, "IEND", 4) == 0)
            return true;
        at += 12 + static_cast<std::size_t>(length);
    }
    error = "PNG file ends without its end marker";
    return false;
}

} // namespace Platform
