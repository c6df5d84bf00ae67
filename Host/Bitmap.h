#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// Pixel rows as a backend's BMP reader delivers them: in the order they are stored, each row a
// whole number of 4-byte words, pixels as blue, green, red (and a fourth byte at 32 bits) whatever
// the file's own layout.
struct SBitmapRows
{
    std::int32_t Width = 0;
    std::int32_t Height = 0; // always positive
    // 24 or 32; any other value is a file the engine refuses, with no rows: the file's other depth,
    // or 0 for 32-bit bit fields whose channels are not whole bytes.
    std::int32_t BitsPerPixel = 0;
    std::int32_t Stride = 0;
    const std::uint8_t* Rows = nullptr;
    // True when the first stored row is the picture's top row (top-down files, and readers that
    // turn rows over); false for an ordinary bottom-up BMP read as stored.
    bool TopDown = false;

    // The stored bytes of the picture's row y, counted from the top.
    const std::uint8_t* PictureRow(std::int32_t y) const
    {
        const std::int32_t stored = TopDown ? y : Height - 1 - y;
        return Rows + static_cast<std::ptrdiff_t>(stored) * Stride;
    }
};

// A loaded bitmap; destroying it releases what the backend holds.
class IBitmap
{
public:
    virtual ~IBitmap() = default;
    virtual const SBitmapRows& GetRows() const = 0;
};

// What a BMP file's headers say, once they are found to describe a file of this length.
struct SBmpHeader
{
    std::int32_t Width = 0;
    std::int32_t Height = 0; // positive; TopDown tells the order
    std::int32_t BitsPerPixel = 0;
    std::int32_t Stride = 0;
    std::uint32_t PixelOffset = 0;
    bool TopDown = false;
    std::uint32_t InfoSize = 40;
    bool BitFields = false;
    // The bytes of a 32-bit pixel that hold blue, green and red, as the file's bit fields place
    // them; empty for bit fields that are not three different whole bytes.
    std::optional<std::array<std::int32_t, 3>> ChannelBytes = std::array<std::int32_t, 3>{0, 1, 2};
};

// Checks a BMP file's headers against the file itself before anything is allocated from them: sane
// positive sizes, a known depth and an uncompressed layout, and every pixel row inside the file.
// Nothing for a file that fails; readers treat it as unreadable.
std::optional<SBmpHeader> CheckBmpFile(std::span<const std::uint8_t> file);

// True for 24 or 32 bits without bit fields, in a header every system's reader knows (12, 40, 108
// or 124 bytes): the stored bytes are the rows a reader must deliver. The system's own reader gets
// only these (Windows's moves the channels of bit fields itself and fails on other header sizes).
bool IsPlainBmp(const SBmpHeader& header);

// The engine's own reader, for files that passed CheckBmpFile (the header is its answer): the rows
// of the file itself, their channels moved into blue, green, red order; a refused depth or layout
// gives its BitsPerPixel alone.
std::unique_ptr<IBitmap> ReadBmpFile(std::vector<std::uint8_t> file, const SBmpHeader& header);

// 1 for sizes up to 1, else the smallest power of two not below n. Sizes above 2^30 have none
// that an int32 holds: std::out_of_range.
std::int32_t NextPowerOfTwo(std::int32_t n);

// The picture's pixels as texels of a textureWidth-wide texture, picture in the top-left corner,
// the rest transparent black; texels read in memory as red, green, blue, alpha. With colour keys,
// white becomes transparent black and magenta a half-transparent grey.
void ConvertToTexels(const SBitmapRows& bitmap, bool useColourKeys, std::int32_t textureWidth,
                     std::int32_t textureHeight, std::vector<std::uint32_t>& texels);

// Cuts a font picture into its 95 glyphs (codes 32 to 126): each glyph ends at the next pure-green
// marker in the picture's bottom row, which stays part of the glyph; magenta is transparent. Glyphs
// after the last marker are 0 wide. The sink receives each glyph's code, width and texels (of a
// NextPowerOfTwo(width) by NextPowerOfTwo(height) texture).
void CutFontGlyphs(const SBitmapRows& bitmap,
                   const std::function<void(std::uint32_t code, std::int32_t width, std::int32_t textureWidth,
                                            std::int32_t textureHeight, const std::vector<std::uint32_t>& texels)>& sink);
