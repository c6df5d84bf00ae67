#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <functional>
#include <vector>

// BMP files for tests: uncompressed or bit fields, BITMAPINFOHEADER, rows padded to whole words.
struct SBmpSpec
{
    std::int32_t Width = 1;
    std::int32_t Height = 1;
    std::int32_t BitsPerPixel = 24;
    bool TopDown = false;
    // Colour of the picture's pixel (x, y), y counted from the top, as 0xRRGGBB; at 32 bits the top
    // byte goes into the fourth byte of the pixel, at 8 bits the low byte is the palette index.
    std::function<std::uint32_t(std::int32_t x, std::int32_t y)> ColourAt = [](std::int32_t, std::int32_t) {
        return 0u;
    };
    // Bit fields of red, green and blue, all set or none: each channel's byte goes to its mask's lowest
    // bit. A header of 56 bytes holds them (and an empty alpha mask); a 40-byte one is followed by them.
    std::array<std::uint32_t, 3> Masks{};
    std::uint32_t InfoSize = 40;
};

inline std::vector<std::uint8_t> MakeBmp(const SBmpSpec& layout)
{
    const std::int32_t bytes = layout.BitsPerPixel / 8;
    const std::int32_t stride = (layout.Width * layout.BitsPerPixel + 31) / 32 * 4;
    const std::uint32_t paletteSize = layout.BitsPerPixel <= 8 ? (4u << layout.BitsPerPixel) : 0u;
    const bool fields = layout.Masks != std::array<std::uint32_t, 3>{};
    const std::uint32_t offset = 14 + layout.InfoSize + paletteSize + (fields && layout.InfoSize == 40 ? 12 : 0);
    const std::uint32_t size = offset + static_cast<std::uint32_t>(stride * layout.Height);
    std::vector<std::uint8_t> file(size, 0);
    const auto put = [&](std::size_t at, std::uint32_t value, int length) {
        for (int i = 0; i < length; ++i)
            file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(0, 'B' | 'M' << 8, 2);
    put(2, size, 4);
    put(10, offset, 4);
    put(14, layout.InfoSize, 4);
    put(18, static_cast<std::uint32_t>(layout.Width), 4);
    put(22, static_cast<std::uint32_t>(layout.TopDown ? -layout.Height : layout.Height), 4);
    put(26, 1, 2);
    put(28, static_cast<std::uint32_t>(layout.BitsPerPixel), 2);
    put(30, fields ? 3 : 0, 4);
    put(34, static_cast<std::uint32_t>(stride * layout.Height), 4);
    for (std::size_t channel = 0; fields && channel < 3; ++channel)
        put(54 + 4 * channel, layout.Masks[channel], 4);
    for (std::uint32_t entry = 0; entry < paletteSize / 4; ++entry)
        put(54 + entry * 4, entry * 0x010101u, 4);
    for (std::int32_t y = 0; y < layout.Height; ++y)
        for (std::int32_t x = 0; x < layout.Width; ++x)
        {
            // Little-endian: blue, green, red and the fourth byte; the rows bottom first unless top-down.
            std::uint32_t colour = layout.ColourAt(x, y);
            if (fields) // each channel's byte at its mask's lowest bit
                colour = (colour >> 16 & 0xFF) << std::countr_zero(layout.Masks[0]) |
                         (colour >> 8 & 0xFF) << std::countr_zero(layout.Masks[1]) |
                         (colour & 0xFF) << std::countr_zero(layout.Masks[2]);
            const std::size_t at = offset + (layout.TopDown ? y : layout.Height - 1 - y) * stride + x * bytes;
            put(at, colour, bytes);
        }
    return file;
}

// A font picture: glyphs of the given widths side by side from code 32 on, each followed by its
// marker column, green in the bottom row and magenta (transparent) above; ink(code, row) paints them.
inline std::vector<std::uint8_t> MakeFontBmp(const std::vector<std::int32_t>& widths, std::int32_t height,
                                             bool topDown,
                                             const std::function<std::uint32_t(std::uint32_t, std::int32_t)>& ink)
{
    std::vector<std::int32_t> markers;
    for (const std::int32_t width : widths)
        markers.push_back((markers.empty() ? 0 : markers.back() + 1) + width);
    return MakeBmp({markers.back() + 1, height, 24, topDown, [=](std::int32_t x, std::int32_t y) {
                        const auto glyph = std::lower_bound(markers.begin(), markers.end(), x);
                        if (*glyph == x)
                            return y == height - 1 ? 0x00FF00u : 0xFF00FFu;
                        return ink(32 + static_cast<std::uint32_t>(glyph - markers.begin()), y);
                    }});
}
