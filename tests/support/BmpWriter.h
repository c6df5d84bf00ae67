#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// BMP files for tests: uncompressed, BITMAPINFOHEADER, rows padded to whole words.
struct SBmpSpec
{
    std::int32_t Width = 1;
    std::int32_t Height = 1;
    std::int32_t BitsPerPixel = 24;
    bool TopDown = false;
    // Colour of the picture's pixel (x, y), y counted from the top, as 0xRRGGBB; at 32 bits the top
    // byte goes into the fourth byte of the pixel.
    std::function<std::uint32_t(std::int32_t x, std::int32_t y)> ColourAt = [](std::int32_t, std::int32_t) {
        return 0u;
    };
};

inline std::vector<std::uint8_t> MakeBmp(const SBmpSpec& spec)
{
    const std::int32_t stride = (spec.Width * spec.BitsPerPixel + 31) / 32 * 4;
    const std::uint32_t paletteSize = spec.BitsPerPixel <= 8 ? (4u << spec.BitsPerPixel) : 0u;
    const std::uint32_t offset = 14 + 40 + paletteSize;
    const std::uint32_t size = offset + static_cast<std::uint32_t>(stride * spec.Height);
    std::vector<std::uint8_t> file(size, 0);
    const auto put16 = [&](std::size_t at, std::uint32_t value) {
        file[at] = static_cast<std::uint8_t>(value);
        file[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    const auto put32 = [&](std::size_t at, std::uint32_t value) {
        put16(at, value & 0xFFFF);
        put16(at + 2, value >> 16);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, size);
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(spec.Width));
    put32(22, static_cast<std::uint32_t>(spec.TopDown ? -spec.Height : spec.Height));
    put16(26, 1);
    put16(28, static_cast<std::uint32_t>(spec.BitsPerPixel));
    put32(34, static_cast<std::uint32_t>(stride * spec.Height));
    for (std::uint32_t entry = 0; entry < paletteSize / 4; ++entry)
        put32(54 + entry * 4, entry * 0x010101u);
    for (std::int32_t y = 0; y < spec.Height; ++y)
    {
        const std::int32_t stored = spec.TopDown ? y : spec.Height - 1 - y;
        std::uint8_t* row = file.data() + offset + static_cast<std::size_t>(stored * stride);
        for (std::int32_t x = 0; x < spec.Width; ++x)
        {
            const std::uint32_t colour = spec.ColourAt(x, y);
            if (spec.BitsPerPixel == 24 || spec.BitsPerPixel == 32)
            {
                std::uint8_t* pixel = row + x * (spec.BitsPerPixel / 8);
                pixel[0] = static_cast<std::uint8_t>(colour);
                pixel[1] = static_cast<std::uint8_t>(colour >> 8);
                pixel[2] = static_cast<std::uint8_t>(colour >> 16);
                if (spec.BitsPerPixel == 32)
                    pixel[3] = static_cast<std::uint8_t>(colour >> 24);
            }
            else if (spec.BitsPerPixel == 8)
                row[x] = static_cast<std::uint8_t>(colour);
        }
    }
    return file;
}
