#include "Host/Bitmap.h"
#include "tests/support/BmpWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <stdexcept>

namespace
{
// Rows of a file that passed the check, as a reader that keeps the stored order delivers them.
SBitmapRows RowsOf(const std::vector<std::uint8_t>& file)
{
    const auto header = CheckBmpFile(file).value();
    return {header.Width, header.Height, header.BitsPerPixel, header.Stride, file.data() + header.PixelOffset,
            header.TopDown};
}

// Texels read in memory as red, green, blue, alpha.
std::uint32_t Texel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
{
    const std::uint8_t bytes[4] = {red, green, blue, alpha};
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return value;
}
} // namespace

TEST(NextPowerOfTwo, SmallestPowerNotBelow)
{
    const std::map<std::int32_t, std::int32_t> expected{
        {0, 1},   {1, 1},       {2, 2},       {3, 4},  {600, 1024}, {1024, 1024}, {-5, 1}, {-2147483647 - 1, 1},
        {(1 << 29) + 1, 1 << 30}, {1 << 30, 1 << 30}};
    for (const auto& [n, power] : expected)
        EXPECT_EQ(NextPowerOfTwo(n), power) << n;
    // Beyond 2^30 no power of two fits; refused instead of looping for ever.
    EXPECT_THROW(NextPowerOfTwo((1 << 30) + 1), std::out_of_range);
    EXPECT_THROW(NextPowerOfTwo(2147483647), std::out_of_range);
}

TEST(BmpCheck, HeadersAreReadAndRefusedWhereTheFileCannotBackThem)
{
    // Every depth the format knows, with the stride of three pixels at it.
    const std::map<std::int32_t, std::int32_t> strides{{1, 4}, {4, 4}, {8, 4}, {16, 8}, {24, 12}, {32, 12}};
    for (const bool topDown : {false, true})
        for (const auto& [depth, stride] : strides)
        {
            const auto header = CheckBmpFile(MakeBmp({3, 2, depth, topDown})).value();
            EXPECT_EQ(std::vector<std::int32_t>({header.Width, header.Height, header.TopDown, header.BitsPerPixel,
                                                 header.Stride}),
                      std::vector<std::int32_t>({3, 2, topDown, depth, stride}));
        }
    // The old core header of 16-bit sizes, and bit fields, which 32-bit pixels may have.
    const auto wide = MakeBmp({3, 2, 24});
    std::vector<std::uint8_t> core(wide.begin(), wide.begin() + 14);
    core.insert(core.end(), {12, 0, 0, 0, 3, 0, 2, 0, 1, 0, 24, 0});
    core.insert(core.end(), wide.begin() + 54, wide.end());
    core[10] = 26;
    const auto header = CheckBmpFile(core).value();
    EXPECT_EQ(std::vector<std::int32_t>({header.Width, header.Height, header.BitsPerPixel, header.Stride}),
              std::vector<std::int32_t>({3, 2, 24, 12}));
    auto fields = MakeBmp({3, 2, 32});
    fields[30] = 3;
    EXPECT_TRUE(CheckBmpFile(fields));

    const auto good = MakeBmp({4, 4, 24});
    const std::size_t all = good.size();
    // The bytes kept, and a 32-bit value written at an offset (none where both are 0).
    const struct
    {
        const char* What;
        std::size_t Kept, At;
        std::uint32_t Value;
    } damage[] = {{"cut short by one byte", all - 1, 0, 0},     {"nothing but a header", 20, 0, 0},
                  {"empty", 0, 0, 0},                           {"wrong magic", all, 0, 'B' | 'A' << 8},
                  {"a 1 KB file claiming a huge width", all, 18, 65536}, {"huge height", all, 22, 65536},
                  {"no width", all, 18, 0},                     {"negative width", all, 18, 0xFFFFFFFF},
                  {"no height", all, 22, 0},                    {"the most negative height", all, 22, 0x80000000},
                  {"pixels far past the end", all, 10, 0xFFFFFFF0}, {"pixels inside the headers", all, 10, 4},
                  {"run-length compressed", all, 30, 1},        {"bit fields at 24 bits", all, 30, 3},
                  {"absurd header size", all, 14, 0xFFFFFFFF}};
    for (const auto& row : damage)
    {
        auto file = good;
        for (int i = 0; (row.At != 0 || row.Value != 0) && i < 4; ++i)
            file[row.At + i] = static_cast<std::uint8_t>(row.Value >> (8 * i));
        file.resize(row.Kept);
        EXPECT_FALSE(CheckBmpFile(file)) << row.What;
    }
}

TEST(Texels, FourthByteOfThirtyTwoBitPixelsIsIgnored)
{
    const auto file =
        MakeBmp({2, 1, 32, false, [](std::int32_t x, std::int32_t) { return x == 0 ? 0x00FFFFFFu : 0x80123456u; }});
    std::vector<std::uint32_t> texels;
    ConvertToTexels(RowsOf(file), true, 2, 1, texels);
    // The white key vanishes whatever the fourth byte; the rest is opaque.
    EXPECT_EQ(texels, (std::vector<std::uint32_t>{0, Texel(0x12, 0x34, 0x56, 255)}));
}

namespace
{
struct SGlyph
{
    std::int32_t Width, TextureWidth, TextureHeight;
    std::vector<std::uint32_t> Texels;
};

// Glyphs inked white on top, green (plain ink) between, magenta (transparent) in the marker row.
std::map<std::uint32_t, SGlyph> Cut(const std::vector<std::int32_t>& widths, std::int32_t height, bool topDown = false)
{
    const auto file = MakeFontBmp(widths, height, topDown, [=](std::uint32_t, std::int32_t row) {
        return row == 0 ? 0xFFFFFFu : row == height - 1 ? 0xFF00FFu : 0x00FF00u;
    });
    std::map<std::uint32_t, SGlyph> glyphs;
    CutFontGlyphs(RowsOf(file), [&](std::uint32_t code, std::int32_t width, std::int32_t textureWidth,
                                    std::int32_t textureHeight, const std::vector<std::uint32_t>& texels) {
        glyphs[code] = {width, textureWidth, textureHeight, texels};
    });
    return glyphs;
}
} // namespace

TEST(FontCutting, GlyphWidthsFromMarkersTheirTexturesAndTheirInk)
{
    const auto widthsOf = [](const std::map<std::uint32_t, SGlyph>& glyphs) {
        std::vector<std::int32_t> widths;
        for (const auto& [code, glyph] : glyphs)
            widths.push_back(glyph.Width);
        return widths;
    };
    std::vector<std::int32_t> widths(95, 7);
    widths[1] = 0; // '!' between adjacent markers
    widths[2] = 3;
    const auto glyphs = Cut(widths, 14);
    EXPECT_EQ(glyphs.begin()->first, 32u);
    EXPECT_EQ(widthsOf(glyphs), widths);
    // 14 high: GetMaxV 14/16 = 0.875. No width: a texture of one empty column.
    EXPECT_EQ(glyphs.at(' ').TextureWidth * 100 + glyphs.at(' ').TextureHeight, 816);
    EXPECT_EQ(glyphs.at('!').TextureWidth, 1);
    EXPECT_EQ(glyphs.at('!').Texels, std::vector<std::uint32_t>(16, 0));
    // Too few markers leave the rest empty.
    std::vector<std::int32_t> few(95, 0);
    few[0] = 5;
    few[1] = 6;
    EXPECT_EQ(widthsOf(Cut({5, 6}, 8)), few);
    for (const bool topDown : {false, true})
    {
        const auto glyph = Cut(std::vector<std::int32_t>(95, 2), 4, topDown).at('A');
        ASSERT_EQ(glyph.TextureWidth * 100 + glyph.TextureHeight, 204);
        // Top row ink, green above the bottom row ink, the bottom (marker) row's magenta nothing.
        EXPECT_EQ(glyph.Texels[0], Texel(255, 255, 255, 255)) << topDown;
        EXPECT_EQ(glyph.Texels[2], Texel(0, 255, 0, 255)) << topDown;
        EXPECT_EQ(glyph.Texels[6], 0u) << topDown;
    }
}
