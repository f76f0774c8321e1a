#include "platform/GifDecoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace Platform {
namespace {

// LZW codes grow to 12 bits at most; the table holds one entry per code.
constexpr int kMaxCodeBits = 12;
constexpr unsigned kTableSize = 1u << kMaxCodeBits;
constexpr unsigned char kExtension = 0x21;
constexpr unsigned char kImage = 0x2C;
constexpr unsigned char kTrailer = 0x3B;
constexpr unsigned char kGraphicControl = 0xF9;
// A file may have no colour table at all; its colours are then black, as the
// system's decoder showed them.
constexpr std::uint32_t kNoTableColour = 0xFF000000u;

unsigned LittleEndian16(const unsigned char* p)
{
    return unsigned(p[0]) | (unsigned(p[1]) << 8);
}

std::string Byte(std::size_t at)
{
    return "byte " + std::to_string(at);
}

// The bytes of a colour table's flag and size bits: 2 to 256 colours.
std::size_t ColourTableBytes(unsigned char flags)
{
    return (flags & 0x80) ? 3u * (2u << (flags & 7)) : 0u;
}

struct ColourTable {
    const unsigned char* rgb = nullptr;
    unsigned count = 0;
};

// The colours an image's data may name: those of its table and the
// transparent one; any colour when there is no table.
struct UsableColours {
    unsigned count;
    int transparent;
    bool Has(unsigned index) const { return count == 0 || index < count || int(index) == transparent; }
};

// The bytes of an image's data sub-blocks from `at`, up to their end block or
// the file's end, passed over without decoding.
std::size_t DataBytes(const unsigned char* data, std::size_t size, std::size_t at)
{
    std::size_t bytes = 0;
    while (at < size && data[at] != 0) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        bytes += length;
        at += 1 + length;
    }
    return bytes;
}

// The most pixels LZW data of that many bytes can stand for: each code takes
// at least minCodeSize + 1 bits, and the k-th code after a clear code stands
// for at most k pixels, never more than the table's longest string.
std::uint64_t FillablePixels(std::size_t bytes, int minCodeSize)
{
    const std::uint64_t codes = std::uint64_t(bytes) * 8 / unsigned(minCodeSize + 1);
    const std::uint64_t longest = kTableSize;
    if (codes <= longest)
        return codes * (codes + 1) / 2;
    return longest * (longest + 1) / 2 + (codes - longest) * longest;
}

// The LZW codes of an image's data, least significant bit first, read from the
// data's sub-blocks and never past their empty end block or the file's end.
class CodeReader {
public:
    enum class Status { Ok, BlocksEnded, FileEnded };

    CodeReader(const unsigned char* data, std::size_t size, std::size_t at)
        : data_(data)
        , size_(size)
        , at_(at)
    {
    }

    Status Next(int bits, unsigned& code)
    {
        while (held_ < bits) {
            if (blockLeft_ == 0) {
                last_ = at_;
                if (at_ >= size_)
                    return Status::FileEnded;
                blockLeft_ = data_[at_++];
                if (blockLeft_ == 0)
                    return Status::BlocksEnded;
            }
            last_ = at_;
            if (at_ >= size_)
                return Status::FileEnded;
            bits_ |= std::uint32_t(data_[at_++]) << held_;
            held_ += 8;
            --blockLeft_;
        }
        code = bits_ & ((1u << bits) - 1);
        bits_ >>= bits;
        held_ -= bits;
        return Status::Ok;
    }

    // The byte that ends the latest code, or where the data ended.
    std::size_t Position() const { return last_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_;
    std::size_t last_ = 0;
    unsigned blockLeft_ = 0;
    std::uint32_t bits_ = 0;
    int held_ = 0;
};

// Decodes an image's LZW data into `pixelCount` colour indices. Codes past the
// last pixel are not read: encoders that pad the data are taken as they are.
// A colour the image may not name is refused where it is first met, named by
// `pixelAt` (every string is made of colours met before).
bool DecodeIndices(CodeReader& reader, int minCodeSize, std::size_t pixelCount, const UsableColours& usable,
                   const std::function<std::string(std::size_t)>& pixelAt, std::vector<unsigned char>& indices,
                   std::string& why)
{
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    // An entry is its prefix code plus one last index; its first index and
    // length are kept so that a string is written without walking it twice.
    std::array<std::uint16_t, kTableSize> prefix{};
    std::array<unsigned char, kTableSize> last{};
    std::array<unsigned char, kTableSize> first{};
    std::array<std::uint16_t, kTableSize> length{};
    for (unsigned i = 0; i < clear; ++i) {
        last[i] = first[i] = static_cast<unsigned char>(i);
        length[i] = 1;
    }
    unsigned next = clear + 2;
    int bits = minCodeSize + 1;
    bool afterClear = true;
    unsigned previous = 0;
    const auto at = [&reader] { return " at " + Byte(reader.Position()); };
    const auto counted = [&indices, pixelCount] {
        return " after " + std::to_string(indices.size()) + " of " + std::to_string(pixelCount) + " pixels";
    };
    // Writes the string of `code`, cut at the image's last pixel.
    const auto emit = [&](unsigned code) {
        const std::size_t start = indices.size();
        const std::size_t kept = std::min<std::size_t>(length[code], pixelCount - start);
        indices.resize(start + kept);
        for (std::size_t i = length[code]; i-- > 0; code = prefix[code])
            if (i < kept)
                indices[start + i] = last[code];
    };

    indices.reserve(pixelCount);
    while (indices.size() < pixelCount) {
        unsigned code = 0;
        const CodeReader::Status status = reader.Next(bits, code);
        if (status == CodeReader::Status::FileEnded) {
            why = "its data runs past the end of the file" + counted();
            return false;
        }
        if (status == CodeReader::Status::BlocksEnded) {
            why = "its data ends at " + Byte(reader.Position()) + counted();
            return false;
        }
        if (code == clear) {
            next = clear + 2;
            bits = minCodeSize + 1;
            afterClear = true;
            continue;
        }
        if (code == end) {
            why = "its end code" + at() + " comes" + counted();
            return false;
        }
        if (code < clear && !usable.Has(code)) {
            why = "colour " + std::to_string(code) + " at " + pixelAt(indices.size()) + " is outside its colour table of "
                + std::to_string(usable.count) + " colours";
            return false;
        }
        if (afterClear) {
            // The first code after a clear code stands for one colour.
            if (code > end) {
                why = "code " + std::to_string(code) + at() + " follows a clear code but is no colour";
                return false;
            }
            emit(code);
            previous = code;
            afterClear = false;
            continue;
        }
        if (code > next) {
            why = "code " + std::to_string(code) + at() + " is not in the code table (its next code is "
                + std::to_string(next) + ")";
            return false;
        }
        // A code not yet in the table is the previous string and its own first index.
        const unsigned char head = code < next ? first[code] : first[previous];
        if (next < kTableSize) {
            prefix[next] = static_cast<std::uint16_t>(previous);
            last[next] = head;
            first[next] = first[previous];
            length[next] = static_cast<std::uint16_t>(length[previous] + 1);
            ++next;
            // A full table stays at 12 bits until the next clear code.
            if (next == (1u << bits) && bits < kMaxCodeBits)
                ++bits;
        }
        emit(code);
        previous = code;
    }
    return true;
}

// The row of the picture that the image's n-th row of data fills: an
// interlaced image sends every 8th row from 0, every 8th from 4, every 4th
// from 2, then every 2nd from 1.
std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    static const int start[] = {0, 4, 2, 1};
    static const int step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            rows.push_back(y);
    return rows;
}

} // namespace

bool IsGif(const unsigned char* data, std::size_t size)
{
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

CairoSurfacePtr DecodeGif(const unsigned char* data, std::size_t size, int maxSide, std::string& error)
{
    if (!IsGif(data, size)) {
        error = "not a GIF87a or GIF89a file";
        return nullptr;
    }
    if (size < 13) {
        error = "GIF file ends before its header";
        return nullptr;
    }
    const unsigned screenWidth = LittleEndian16(data + 6);
    const unsigned screenHeight = LittleEndian16(data + 8);
    ColourTable global;
    std::size_t at = 13;
    if (const std::size_t bytes = ColourTableBytes(data[10])) {
        if (size - at < bytes) {
            error = "GIF file ends inside its global colour table (" + std::to_string(bytes) + " bytes from byte 13)";
            return nullptr;
        }
        global = {data + at, static_cast<unsigned>(bytes / 3)};
        at += bytes;
    }

    // Extensions before the first image are passed over; the last Graphic
    // Control Extension among them says which colour is transparent.
    int transparent = -1;
    for (;;) {
        if (at >= size) {
            error = "GIF file holds no complete image: it ends at " + Byte(at) + " before any image";
            return nullptr;
        }
        if (data[at] == kImage)
            break;
        if (data[at] == kTrailer) {
            error = "GIF file holds no complete image: its end marker at " + Byte(at) + " comes before any image";
            return nullptr;
        }
        if (data[at] != kExtension) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", data[at]);
            error = "GIF file holds no complete image: " + Byte(at) + " (" + hex + ") starts no block";
            return nullptr;
        }
        const std::size_t extension = at;
        const auto pastEnd = [&error, extension] {
            error = "GIF extension at " + Byte(extension) + " runs past the end of the file";
            return nullptr;
        };
        if (size - at < 3)
            return pastEnd();
        const bool graphicControl = data[at + 1] == kGraphicControl;
        at += 2;
        if (graphicControl) {
            if (data[at] != 4) {
                error = "GIF graphic control extension at " + Byte(extension) + " has a block of "
                    + std::to_string(data[at]) + " bytes instead of 4";
                return nullptr;
            }
            if (size - at < 5)
                return pastEnd();
            transparent = (data[at + 1] & 1) ? data[at + 4] : -1;
        }
        // Sub-blocks, each its length and then its bytes, up to an empty one.
        for (;;) {
            if (at >= size || size - at - 1 < data[at])
                return pastEnd();
            const unsigned length = data[at];
            at += 1 + length;
            if (length == 0)
                break;
        }
    }

    const std::size_t image = at;
    const std::string imageAt = "GIF image at " + Byte(image);
    if (size - at < 10) {
        error = imageAt + " ends inside its descriptor";
        return nullptr;
    }
    const unsigned left = LittleEndian16(data + at + 1);
    const unsigned top = LittleEndian16(data + at + 3);
    const unsigned width = LittleEndian16(data + at + 5);
    const unsigned height = LittleEndian16(data + at + 7);
    const unsigned char flags = data[at + 9];
    at += 10;
    if (width == 0 || height == 0) {
        error = imageAt + " has no pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")";
        return nullptr;
    }
    // The screen grows to hold an image that reaches past it, so that none of
    // the image is lost.
    const unsigned pictureWidth = std::max(screenWidth, left + width);
    const unsigned pictureHeight = std::max(screenHeight, top + height);
    if (pictureWidth > unsigned(maxSide) || pictureHeight > unsigned(maxSide)) {
        error = imageAt + " makes a picture of " + std::to_string(pictureWidth) + " x " + std::to_string(pictureHeight)
            + " pixels, more than the limit of " + std::to_string(maxSide) + " a side";
        return nullptr;
    }
    const std::uint64_t picturePixels = std::uint64_t(pictureWidth) * pictureHeight;
    if (picturePixels > GifMaxScreenPixels && picturePixels > std::uint64_t(width) * height) {
        error = imageAt + " makes a picture of " + std::to_string(pictureWidth) + " x " + std::to_string(pictureHeight)
            + " pixels, more than the limit of " + std::to_string(GifMaxScreenPixels) + " pixels";
        return nullptr;
    }
    ColourTable colours = global;
    if (const std::size_t bytes = ColourTableBytes(flags)) {
        if (size - at < bytes) {
            error = imageAt + " ends inside its local colour table (" + std::to_string(bytes) + " bytes from "
                + Byte(at) + ")";
            return nullptr;
        }
        colours = {data + at, static_cast<unsigned>(bytes / 3)};
        at += bytes;
    }
    if (at >= size) {
        error = imageAt + " ends before its code size";
        return nullptr;
    }
    const int minCodeSize = data[at];
    if (minCodeSize < 2 || minCodeSize > 8) {
        error = imageAt + " has a code size of " + std::to_string(minCodeSize) + " (" + Byte(at)
            + "); the decoder takes 2 to 8";
        return nullptr;
    }

    // A large image is weighed against what its data could fill before
    // anything is decoded or made.
    const std::uint64_t pixels = std::uint64_t(width) * height;
    if (pixels > GifLargeImagePixels) {
        const std::size_t dataBytes = DataBytes(data, size, at + 1);
        const std::uint64_t fillable = FillablePixels(dataBytes, minCodeSize);
        if (pixels > fillable) {
            error = imageAt + " has " + std::to_string(width) + " x " + std::to_string(height)
                + " pixels, more than its " + std::to_string(dataBytes) + " bytes of data can fill ("
                + std::to_string(fillable) + " pixels); an image of more than " + std::to_string(GifLargeImagePixels)
                + " pixels must be one its data can fill";
            return nullptr;
        }
    }

    // The indices are decoded before the picture is made, so that data cut
    // short costs no more than what it holds.
    const std::vector<int> rows = RowOrder(static_cast<int>(height), (flags & 0x40) != 0);
    const auto pixelAt = [&rows, left, top, width](std::size_t n) {
        return "pixel (" + std::to_string(left + n % width) + ", " + std::to_string(top + unsigned(rows[n / width]))
            + ")";
    };
    std::vector<unsigned char> indices;
    CodeReader reader(data, size, at + 1);
    std::string why;
    if (!DecodeIndices(reader, minCodeSize, std::size_t(width) * height, UsableColours{colours.count, transparent},
                       pixelAt, indices, why)) {
        error = imageAt + ": " + why;
        return nullptr;
    }
    // The decoder let through only colours the image may name; the other
    // entries stay transparent and are never met.
    std::array<std::uint32_t, 256> argb{};
    for (unsigned i = 0; i < argb.size(); ++i) {
        if (int(i) == transparent)
            continue;
        if (!colours.rgb)
            argb[i] = kNoTableColour;
        else if (i < colours.count)
            argb[i] = 0xFF000000u | (std::uint32_t(colours.rgb[3 * i]) << 16)
                | (std::uint32_t(colours.rgb[3 * i + 1]) << 8) | colours.rgb[3 * i + 2];
    }

    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(pictureWidth),
                                                       static_cast<int>(pictureHeight)));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        error = cairo_status_to_string(cairo_surface_status(surface.get()));
        return nullptr;
    }
    // A new surface is all transparent: the screen around the image stays so.
    cairo_surface_flush(surface.get());
    unsigned char* target = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const unsigned char* index = indices.data();
    for (unsigned n = 0; n < height; ++n) {
        const unsigned y = top + static_cast<unsigned>(rows[n]);
        unsigned char* row = target + static_cast<std::ptrdiff_t>(y) * stride + 4 * std::ptrdiff_t(left);
        for (unsigned x = 0; x < width; ++x, ++index)
            std::memcpy(row + 4 * x, &argb[*index], 4);
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

} // namespace Platform
