#include "Host/Bitmap.h"
#include "tests/support/BmpWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

namespace
{
// Rows of a file that passed the check, as a reader that keeps the stored order delivers them.
SBitmapRows RowsOf(const std::vector<std::uint8_t>& file)
{
    const auto header = CheckBmpFile(file);
    EXPECT_TRUE(header);
    SBitmapRows rows;
    rows.Width = header->Width;
    rows.Height = header->Height;
    rows.BitsPerPixel = header->BitsPerPixel;
    rows.Stride = header->Stride;
    rows.Rows = file.data() + header->PixelOffset;
    rows.TopDown = header->TopDown;
    return rows;
}

std::uint32_t Texel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
{
    // Texels read in memory as red, green, blue, alpha.
    const std::uint8_t bytes[4] = {red, green, blue, alpha};
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return value;
}

void Put32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
} // namespace

TEST(NextPowerOfTwo, SmallestPowerNotBelow)
{
    const std::map<std::int32_t, std::int32_t> expected{{0, 1},       {1, 1},       {2, 2},     {3, 4},
                                                       {600, 1024}, {800, 1024}, {1024, 1024}, {-5, 1},
                                                       {-2147483647 - 1, 1},      {(1 << 29) + 1, 1 << 30},
                                                       {1 << 30, 1 << 30}};
    for (const auto& [n, power] : expected)
        EXPECT_EQ(NextPowerOfTwo(n), power) << n;
    // Beyond 2^30 no power of two fits; refused instead of looping for ever.
    EXPECT_THROW(NextPowerOfTwo((1 << 30) + 1), std::out_of_range);
    EXPECT_THROW(NextPowerOfTwo(2147483647), std::out_of_range);
}

TEST(BmpCheck, AcceptsOrdinaryTopDownAndOtherDepths)
{
    for (const bool topDown : {false, true})
        for (const std::int32_t depth : {8, 24, 32})
        {
            const auto header = CheckBmpFile(MakeBmp({3, 2, depth, topDown}));
            ASSERT_TRUE(header) << depth;
            EXPECT_EQ(header->Width, 3);
            EXPECT_EQ(header->Height, 2);
            EXPECT_EQ(header->TopDown, topDown);
            EXPECT_EQ(header->BitsPerPixel, depth);
            EXPECT_EQ(header->Stride, depth == 8 ? 4 : depth == 24 ? 12 : 12);
        }
}

TEST(BmpCheck, RefusesHeadersTheFileCannotBack)
{
    const auto good = MakeBmp({4, 4, 24});
    ASSERT_TRUE(CheckBmpFile(good));

    // Cut short by one byte, or of nothing but a header.
    EXPECT_FALSE(CheckBmpFile(std::span(good).first(good.size() - 1)));
    EXPECT_FALSE(CheckBmpFile(std::span(good).first(20)));
    EXPECT_FALSE(CheckBmpFile({}));

    const auto with = [&](std::size_t at, std::uint32_t value) {
        auto file = good;
        Put32(file, at, value);
        return CheckBmpFile(file).has_value();
    };
    EXPECT_FALSE(with(18, 65536));      // a 1 KB file claiming a huge width
    EXPECT_FALSE(with(22, 65536));
    EXPECT_FALSE(with(18, 0));          // no width
    EXPECT_FALSE(with(18, 0xFFFFFFFF)); // negative width
    EXPECT_FALSE(with(22, 0));          // no height
    EXPECT_FALSE(with(22, 0x80000000)); // the most negative height
    EXPECT_FALSE(with(10, 0xFFFFFFF0)); // pixels far past the end
    EXPECT_FALSE(with(10, 4));          // pixels inside the headers
    EXPECT_FALSE(with(30, 1));          // run-length compressed
    EXPECT_FALSE(with(14, 0xFFFFFFFF)); // absurd header size
    auto wrongMagic = good;
    wrongMagic[1] = 'A';
    EXPECT_FALSE(CheckBmpFile(wrongMagic));
}

TEST(Texels, FourthByteOfThirtyTwoBitPixelsIsIgnored)
{
    const auto file = MakeBmp({2, 1, 32, false, [](std::int32_t x, std::int32_t) {
                                   return x == 0 ? 0x00FFFFFFu : 0x80123456u;
                               }});
    std::vector<std::uint32_t> texels;
    ConvertToTexels(RowsOf(file), true, 2, 1, texels);
    EXPECT_EQ(texels[0], 0u); // white key, whatever the fourth byte
    EXPECT_EQ(texels[1], Texel(0x12, 0x34, 0x56, 255));
}

namespace
{
struct SGlyph
{
    std::int32_t Width;
    std::int32_t TextureWidth;
    std::int32_t TextureHeight;
    std::vector<std::uint32_t> Texels;
};

// A font picture: glyph pixels of the given colour, a green marker after each glyph in the bottom row.
std::vector<std::uint8_t> FontFile(const std::vector<std::int32_t>& widths, std::int32_t height, bool topDown = false)
{
    std::vector<std::int32_t> markers;
    std::int32_t x = 0;
    for (const std::int32_t width : widths)
    {
        x += width;
        markers.push_back(x++);
    }
    return MakeBmp({x, height, 24, topDown, [=](std::int32_t column, std::int32_t row) -> std::uint32_t {
                        const bool marker = std::find(markers.begin(), markers.end(), column) != markers.end();
                        if (marker)
                            return row == height - 1 ? 0x00FF00u : 0xFF00FFu;
                        // Ink on top, magenta (transparent) and green (plain ink) below.
                        return row == 0 ? 0xFFFFFFu : row == height - 1 ? 0xFF00FFu : 0x00FF00u;
                    }});
}

std::map<std::uint32_t, SGlyph> Cut(const std::vector<std::uint8_t>& file)
{
    std::map<std::uint32_t, SGlyph> glyphs;
    CutFontGlyphs(RowsOf(file), [&](std::uint32_t code, std::int32_t width, std::int32_t textureWidth,
                                    std::int32_t textureHeight, const std::vector<std::uint32_t>& texels) {
        glyphs[code] = {width, textureWidth, textureHeight, texels};
    });
    return glyphs;
}
} // namespace

TEST(FontCutting, GlyphWidthsFromMarkersAndTheirTextures)
{
    std::vector<std::int32_t> widths(95, 7);
    widths[1] = 0;  // '!' between adjacent markers
    widths[2] = 3;
    const auto glyphs = Cut(FontFile(widths, 14));
    ASSERT_EQ(glyphs.size(), 95u);
    EXPECT_EQ(glyphs.begin()->first, 32u);
    EXPECT_EQ(glyphs.rbegin()->first, 126u);
    EXPECT_EQ(glyphs.at(32).Width, 7);
    EXPECT_EQ(glyphs.at(32).TextureWidth, 8);
    EXPECT_EQ(glyphs.at(32).TextureHeight, 16); // 14 high: GetMaxV 14/16 = 0.875
    EXPECT_EQ(glyphs.at('!').Width, 0);
    EXPECT_EQ(glyphs.at('!').TextureWidth, 1);
    EXPECT_EQ(glyphs.at('!').Texels, std::vector<std::uint32_t>(16, 0));
    EXPECT_EQ(glyphs.at('"').Width, 3);
    EXPECT_EQ(glyphs.at('~').Width, 7);
}

TEST(FontCutting, MarkerRowBelongsToTheGlyphAndOnlyMagentaIsTransparent)
{
    for (const bool topDown : {false, true})
    {
        const auto glyph = Cut(FontFile(std::vector<std::int32_t>(95, 2), 4, topDown)).at('A');
        ASSERT_EQ(glyph.TextureWidth, 2);
        ASSERT_EQ(glyph.TextureHeight, 4);
        EXPECT_EQ(glyph.Texels[0], Texel(255, 255, 255, 255)) << topDown; // top row: ink
        EXPECT_EQ(glyph.Texels[2], Texel(0, 255, 0, 255)) << topDown;     // green above the bottom row is ink
        EXPECT_EQ(glyph.Texels[6], 0u) << topDown;                        // bottom (marker) row, magenta
    }
}

TEST(FontCutting, TooFewMarkersLeaveTheRestEmpty)
{
    const auto glyphs = Cut(FontFile({5, 6}, 8));
    ASSERT_EQ(glyphs.size(), 95u);
    EXPECT_EQ(glyphs.at(32).Width, 5);
    EXPECT_EQ(glyphs.at(33).Width, 6);
    for (std::uint32_t code = 34; code <= 126; ++code)
        EXPECT_EQ(glyphs.at(code).Width, 0) << code;
}
