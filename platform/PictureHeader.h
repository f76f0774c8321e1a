#pragma once
// Reads the size a picture file declares in its header (BMP, PNG, JPEG)
// without decoding it, so that a file can be refused before the decoder
// allocates what it claims. GIF files have a decoder of their own that bounds
// what it allocates itself (GifDecoder.h).
#include <cstddef>
#include <string>

namespace Platform {

// The width and height the picture's header declares. False, with the reason
// in `error`, when the bytes are no BMP, PNG or JPEG or end before the size.
bool ReadDeclaredSize(const unsigned char* data, std::size_t size, int& width, int& height, std::string& error);

// False, with the reason, when the picture's structure would send the decoder
// past the end of the data (for PNG: a chunk longer than what is left).
bool CheckPictureChunks(const unsigned char* data, std::size_t size, std::string& error);

} // namespace Platform
