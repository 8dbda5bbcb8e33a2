#pragma once

#include "platform/RegularFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sf
{
class Image;
class Texture;
} // namespace sf

// Largest picture side the game accepts from a content file, in pixels. Every
// texture of the game is far smaller; the limit keeps a damaged header from
// asking for gigabytes.
constexpr unsigned MaxImageSide = 4096;

// Largest PNG file that is read, in bytes. The largest picture accepted
// (MaxImageSide squared) decodes to 64 MiB of RGBA, and a paint program
// compresses it to a small part of that; a bigger file is not a picture the
// game can use, and the limit keeps a huge file from filling memory before
// decoding starts.
constexpr std::size_t MaxPngFileBytes = 64u << 20; // bytes

// Reads the regular PNG file at `path` into `image` as 8-bit RGBA holding the
// values the file stores, as any paint program shows them: a palette is looked
// up, grey fills the three colour channels, alpha comes from the file's alpha
// channel or transparency chunk and is 255 otherwise, 16-bit samples keep their
// high byte, and no gamma or colour-space conversion is made. Decoding goes
// through libpng, which checks every chunk: an empty, truncated or crafted
// file, or a critical chunk with a bad checksum, is refused instead of crashing
// the game. A picture that would decode to more than `maxDecodedBytes`
// (width x height x 4) is refused before its pixels are allocated.
// Missing: no file at `path`. Failed: the reason names the file and the fault.
// On failure `image` is unchanged.
ReadResult loadPngImage(const std::string& path, sf::Image& image, std::size_t maxDecodedBytes = SIZE_MAX);

// loadPngImage, then the pixels into `texture`. Fails when either step fails.
ReadResult loadPngTexture(const std::string& path, sf::Texture& texture, std::size_t maxDecodedBytes = SIZE_MAX);

// Encodes `width` x `height` pixels of 8-bit RGBA, row by row from the top
// (`rgba` holds width x height x 4 bytes), as a PNG file's bytes into
// `bytes`: non-interlaced, 8-bit RGBA, compressed for speed (a picture of the
// whole map is 41 MB of pixels; zlib's fastest level keeps encoding it well
// under a second). Complete, or Failed with the reason (`bytes` is then
// unspecified).
WriteResult encodePng(const unsigned char* rgba, unsigned width, unsigned height, std::string& bytes);
