#include "Host/Bitmap.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace
{
std::uint32_t Read16(std::span<const std::uint8_t> file, std::size_t at)
{
    return static_cast<std::uint32_t>(file[at]) | static_cast<std::uint32_t>(file[at + 1]) << 8;
}

std::uint32_t Read32(std::span<const std::uint8_t> file, std::size_t at)
{
    return Read16(file, at) | Read16(file, at + 2) << 16;
}

// A stored pixel (blue, green, red) as a texel's colour: red in the lowest byte, no alpha. The
// colour keys and the font markers are compared with this.
constexpr std::uint32_t TexelColour(const std::uint8_t* pixel)
{
    return static_cast<std::uint32_t>(pixel[0]) << 16 | static_cast<std::uint32_t>(pixel[1]) << 8 | pixel[2];
}

// Where blue, green and red lie in a 32-bit pixel with these bit fields: only channels of one whole
// byte each, at any three different places, are read; narrower or wider ones are not.
std::optional<std::array<std::int32_t, 3>> ChannelBytes(const std::array<std::uint32_t, 3>& masks)
{
    std::array<std::int32_t, 3> bytes{};
    for (std::size_t channel = 0; channel < 3; ++channel)
    {
        std::int32_t byte = 0;
        while (byte < 4 && masks[channel] != 0xFFu << (8 * byte))
            ++byte;
        if (byte == 4)
            return std::nullopt;
        bytes[channel] = byte;
    }
    if (bytes[0] == bytes[1] || bytes[1] == bytes[2] || bytes[0] == bytes[2])
        return std::nullopt;
    return bytes;
}

constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Magenta = 0xFF00FF;
constexpr std::uint32_t Green = 0x00FF00; // as blue, green, red bytes: (0, 255, 0)
constexpr std::uint32_t Opaque = 0xFF000000;
// Larger than any texture a context offers, small enough that no size computation overflows.
constexpr std::int64_t LargestSide = 1 << 16;
} // namespace

std::optional<SBmpHeader> CheckBmpFile(std::span<const std::uint8_t> file)
{
    constexpr std::size_t FileHeaderSize = 14;
    if (file.size() < FileHeaderSize + 12 || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    const std::uint32_t infoSize = Read32(file, 14);
    SBmpHeader header;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t compression = 0;
    if (infoSize == 12) // the old core header: 16-bit sizes, no compression
    {
        width = Read16(file, 18);
        height = static_cast<std::int16_t>(Read16(file, 20));
        planes = Read16(file, 22);
        header.BitsPerPixel = static_cast<std::int32_t>(Read16(file, 24));
    }
    else if (infoSize >= 40 && infoSize <= 1024 && file.size() >= FileHeaderSize + infoSize)
    {
        width = static_cast<std::int32_t>(Read32(file, 18));
        height = static_cast<std::int32_t>(Read32(file, 22));
        planes = Read16(file, 26);
        header.BitsPerPixel = static_cast<std::int32_t>(Read16(file, 28));
        compression = Read32(file, 30);
    }
    else
        return std::nullopt;

    const std::int32_t depth = header.BitsPerPixel;
    const bool knownDepth = depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
    // Uncompressed, or bit fields at 16 and 32 bits: every row then has the same, checkable size.
    const bool uncompressed = compression == 0 || (compression == 3 && (depth == 16 || depth == 32));
    if (planes != 1 || !knownDepth || !uncompressed || width <= 0 || width > LargestSide || height == 0 ||
        height < -LargestSide || height > LargestSide)
        return std::nullopt;

    header.Width = static_cast<std::int32_t>(width);
    header.TopDown = height < 0;
    header.Height = static_cast<std::int32_t>(height < 0 ? -height : height);
    const std::int64_t stride = (width * depth + 31) / 32 * 4;
    header.Stride = static_cast<std::int32_t>(stride);
    header.PixelOffset = Read32(file, 10);
    // Bit fields follow a 40-byte header; longer headers hold them at the same place.
    const bool fields = compression == 3 && depth == 32;
    const std::size_t headersEnd = FileHeaderSize + infoSize + (fields && infoSize < 52 ? 12 : 0);
    const std::int64_t end = static_cast<std::int64_t>(header.PixelOffset) + stride * header.Height;
    if (header.PixelOffset < headersEnd || end > static_cast<std::int64_t>(file.size()))
        return std::nullopt;
    header.InfoSize = infoSize;
    header.BitFields = fields;
    if (fields)
        header.ChannelBytes = ChannelBytes({Read32(file, FileHeaderSize + 48), Read32(file, FileHeaderSize + 44),
                                            Read32(file, FileHeaderSize + 40)});
    return header;
}

bool IsPlainBmp(const SBmpHeader& header)
{
    const std::uint32_t size = header.InfoSize;
    return (header.BitsPerPixel == 24 || header.BitsPerPixel == 32) && !header.BitFields &&
           (size == 12 || size == 40 || size == 108 || size == 124);
}

namespace
{
// The engine's reading of a file: its own bytes, reordered where its bit fields ask for it.
class CFileBitmap final : public IBitmap
{
public:
    CFileBitmap(std::vector<std::uint8_t> file, const SBmpHeader& header) : File(std::move(file))
    {
        Rows.BitsPerPixel = header.ChannelBytes ? header.BitsPerPixel : 0;
        if (Rows.BitsPerPixel != 24 && Rows.BitsPerPixel != 32)
            return;
        Rows.Width = header.Width;
        Rows.Height = header.Height;
        Rows.Stride = header.Stride;
        Rows.Rows = File.data() + header.PixelOffset;
        Rows.TopDown = header.TopDown;
        const std::array<std::int32_t, 3> bytes = *header.ChannelBytes;
        if (bytes == std::array<std::int32_t, 3>{0, 1, 2})
            return;
        // The fourth byte, which nothing reads, keeps whatever it held.
        for (std::int32_t y = 0; y < Rows.Height; ++y)
        {
            std::uint8_t* pixel = File.data() + header.PixelOffset + static_cast<std::size_t>(y) * Rows.Stride;
            for (std::int32_t x = 0; x < Rows.Width; ++x, pixel += 4)
            {
                const std::array<std::uint8_t, 4> stored{pixel[0], pixel[1], pixel[2], pixel[3]};
                pixel[0] = stored[bytes[0]];
                pixel[1] = stored[bytes[1]];
                pixel[2] = stored[bytes[2]];
            }
        }
    }

    const SBitmapRows& GetRows() const override { return Rows; }

private:
    std::vector<std::uint8_t> File;
    SBitmapRows Rows;
};
} // namespace

std::unique_ptr<IBitmap> ReadBmpFile(std::vector<std::uint8_t> file, const SBmpHeader& header)
{
    return std::make_unique<CFileBitmap>(std::move(file), header);
}

std::int32_t NextPowerOfTwo(std::int32_t n)
{
    if (n > (1 << 30))
        throw std::out_of_range("no power of two above 2^30 fits in 32 bits");
    std::int32_t p = 1;
    while (n > p)
        p *= 2;
    return p;
}

void ConvertToTexels(const SBitmapRows& bitmap, bool useColourKeys, std::int32_t textureWidth,
                     std::int32_t textureHeight, std::vector<std::uint32_t>& texels)
{
    texels.assign(static_cast<std::size_t>(textureWidth) * static_cast<std::size_t>(textureHeight), 0);
    const std::int32_t bytesPerPixel = bitmap.BitsPerPixel / 8;
    for (std::int32_t y = 0; y < bitmap.Height; ++y)
    {
        const std::uint8_t* row = bitmap.PictureRow(y);
        std::uint32_t* out = texels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(textureWidth);
        for (std::int32_t x = 0; x < bitmap.Width; ++x)
        {
            const std::uint32_t key = TexelColour(row + static_cast<std::ptrdiff_t>(x) * bytesPerPixel);
            if (useColourKeys && key == White)
                out[x] = 0;
            else if (useColourKeys && key == Magenta)
                out[x] = 0x7F7F7F7F;
            else
                out[x] = key + Opaque;
        }
    }
}

void CutFontGlyphs(const SBitmapRows& bitmap,
                   const std::function<void(std::uint32_t, std::int32_t, std::int32_t, std::int32_t,
                                            const std::vector<std::uint32_t>&)>& sink)
{
    const std::int32_t bytesPerPixel = bitmap.BitsPerPixel / 8;
    const std::int32_t textureHeight = NextPowerOfTwo(bitmap.Height);
    const std::uint8_t* markerRow = bitmap.PictureRow(bitmap.Height - 1);
    std::vector<std::uint32_t> texels;
    std::int32_t start = 0;
    for (std::uint32_t code = 32; code <= 126; ++code)
    {
        std::int32_t width = 0;
        for (std::int32_t x = start; x < bitmap.Width; ++x)
            if (TexelColour(markerRow + static_cast<std::ptrdiff_t>(x) * bytesPerPixel) == Green)
            {
                width = x - start;
                break;
            }
        const std::int32_t textureWidth = NextPowerOfTwo(width);
        texels.assign(static_cast<std::size_t>(textureWidth) * static_cast<std::size_t>(textureHeight), 0);
        for (std::int32_t y = 0; y < bitmap.Height; ++y)
        {
            const std::uint8_t* row = bitmap.PictureRow(y);
            for (std::int32_t x = 0; x < width; ++x)
            {
                const std::uint32_t key = TexelColour(row + static_cast<std::ptrdiff_t>(start + x) * bytesPerPixel);
                texels[static_cast<std::size_t>(y) * static_cast<std::size_t>(textureWidth) +
                       static_cast<std::size_t>(x)] = key == Magenta ? 0 : key + Opaque;
            }
        }
        sink(code, width, textureWidth, textureHeight, texels);
        start += width + 1; // over the marker column

    }
}
