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

inline std::vector<std::uint8_t> MakeBmp(const SBmpSpec& layout)
{
    const std::int32_t stride = (layout.Width * layout.BitsPerPixel + 31) / 32 * 4;
    const std::uint32_t paletteSize = layout.BitsPerPixel <= 8 ? (4u << layout.BitsPerPixel) : 0u;
    const std::uint32_t offset = 14 + 40 + paletteSize;
    const std::uint32_t size = offset + static_cast<std::uint32_t>(stride * layout.Height);
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
    put32(18, static_cast<std::uint32_t>(layout.Width));
    put32(22, static_cast<std::uint32_t>(layout.TopDown ? -layout.Height : layout.Height));
    put16(26, 1);
    put16(28, static_cast<std::uint32_t>(layout.BitsPerPixel));
    put32(34, static_cast<std::uint32_t>(stride * layout.Height));
    for (std::uint32_t entry = 0; entry < paletteSize / 4; ++entry)
        put32(54 + entry * 4, entry * 0x010101u);
    for (std::int32_t y = 0; y < layout.Height; ++y)
    {
        const std::int32_t stored = layout.TopDown ? y : layout.Height - 1 - y;
        std::uint8_t* row = file.data() + offset + static_cast<std::size_t>(stored * stride);
        for (std::int32_t x = 0; x < layout.Width; ++x)
        {
            const std::uint32_t colour = layout.ColourAt(x, y);
            if (layout.BitsPerPixel == 24 || layout.BitsPerPixel == 32)
            {
                std::uint8_t* pixel = row + x * (layout.BitsPerPixel / 8);
                pixel[0] = static_cast<std::uint8_t>(colour);
                pixel[1] = static_cast<std::uint8_t>(colour >> 8);
                pixel[2] = static_cast<std::uint8_t>(colour >> 16);
                if (layout.BitsPerPixel == 32)
                    pixel[3] = static_cast<std::uint8_t>(colour >> 24);
            }
            else if (layout.BitsPerPixel == 8)
                row[x] = static_cast<std::uint8_t>(colour);
        }
    }
    return file;
}
