#include "Host/Bitmap.h"
#include "tests/support/BmpWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <stdexcept>
#include <tuple>

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
    // The old core header of 16-bit sizes.
    const auto wide = MakeBmp({3, 2, 24});
    std::vector<std::uint8_t> core(wide.begin(), wide.begin() + 14);
    core.insert(core.end(), {12, 0, 0, 0, 3, 0, 2, 0, 1, 0, 24, 0});
    core.insert(core.end(), wide.begin() + 54, wide.end());
    core[10] = 26;
    const auto header = CheckBmpFile(core).value();
    EXPECT_EQ(std::vector<std::int32_t>({header.Width, header.Height, header.BitsPerPixel, header.Stride}),
              std::vector<std::int32_t>({3, 2, 24, 12}));

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

// Every reader delivers blue, green, red, whatever bytes the bit fields give the channels; channels
// of other widths, or sharing a byte, are refused like a depth the engine does not draw.
TEST(BmpCheck, BitFieldsOfWholeBytesAreReadAtAnyPlaceAndOthersRefused)
{
    const std::uint32_t colours[] = {0x123456, 0xFF0080, 0x00FF01, 0x8001FF};
    const struct
    {
        const char* What;
        std::array<std::uint32_t, 3> Masks; // red, green, blue
        std::uint32_t InfoSize;
        std::int32_t Depth; // as delivered: 32 read, else refused
    } layouts[] = {
        {"no bit fields", {}, 40, 32},
        {"no bit fields, a 64-byte header", {}, 64, 32},
        {"the usual masks", {0xFF0000, 0xFF00, 0xFF}, 40, 32},
        {"red in the low byte, blue in the third", {0xFF, 0xFF00, 0xFF0000}, 40, 32},
        {"the channels in the high bytes", {0xFF000000, 0xFF0000, 0xFF00}, 40, 32},
        {"masks inside a 56-byte header", {0xFF00, 0xFF000000, 0xFF}, 56, 32},
        {"ten bits a channel", {0x3FF00000, 0xFFC00, 0x3FF}, 40, 0},
        {"5-6-5 in 32 bits", {0xF800, 0x7E0, 0x1F}, 40, 0},
        {"a byte straddling two", {0xFF0000, 0xFF0, 0xFF}, 40, 0},
        {"a channel of 16 bits", {0xFFFF0000, 0xFF00, 0xFF}, 40, 0},
        {"two channels in one byte", {0xFF, 0xFF, 0xFF00}, 40, 0},
    };
    for (const auto& layout : layouts)
        for (const bool topDown : {false, true})
        {
            SBmpSpec picture{2, 2, 32, topDown, [&](std::int32_t x, std::int32_t y) { return colours[2 * y + x]; }};
            picture.Masks = layout.Masks;
            picture.InfoSize = layout.InfoSize;
            auto file = MakeBmp(picture);
            const auto header = CheckBmpFile(file).value();
            const auto bitmap = ReadBmpFile(std::move(file), header);
            const SBitmapRows& rows = bitmap->GetRows();
            ASSERT_EQ(rows.BitsPerPixel, layout.Depth) << layout.What;
            for (std::int32_t y = 0; y < rows.Height; ++y)
                for (std::int32_t x = 0; x < 2; ++x)
                {
                    const std::uint8_t* pixel = rows.PictureRow(y) + 4 * x;
                    EXPECT_EQ(pixel[2] << 16 | pixel[1] << 8 | pixel[0], static_cast<int>(colours[2 * y + x]))
                        << layout.What << ", top-down " << topDown;
                }
        }
    // Bit fields after a 40-byte header must end before the pixels; in a small file they would not.
    SBmpSpec overlapping{1, 1, 32};
    overlapping.Masks = {0xFF, 0xFF00, 0xFF0000};
    auto file = MakeBmp(overlapping);
    file[10] = 62;
    EXPECT_FALSE(CheckBmpFile(file));
}

// What text drawn on a real context cannot show: the textures' sizes, the one empty column of a glyph
// of no width, the glyphs past the last marker, and font pictures stored top row first.
TEST(FontCutting, GlyphTexturesInEitherRowOrder)
{
    // Width, texture width and height, texels; white and green read the same whichever way round red and blue are.
    using TGlyph = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::vector<std::uint32_t>>;
    constexpr std::uint32_t W = 0xFFFFFFFF, G = 0xFF00FF00;
    std::vector<std::uint32_t> space{W, W, W, 0, G, G, G, 0, G, G, G, 0, G, G, G, 0};
    space.resize(32, 0);
    for (const bool topDown : {false, true})
    {
        // ' ' 3 wide and '!' between adjacent markers: white on top, then green down to the marker row's magenta.
        const auto file = MakeFontBmp({3, 0}, 5, topDown, [](std::uint32_t, std::int32_t row) {
            return row == 0 ? 0xFFFFFFu : row < 4 ? 0x00FF00u : 0xFF00FFu;
        });
        const auto header = CheckBmpFile(file).value();
        const SBitmapRows rows{header.Width,  header.Height, header.BitsPerPixel,
                               header.Stride, file.data() + header.PixelOffset, header.TopDown};
        std::map<std::uint32_t, TGlyph> glyphs;
        CutFontGlyphs(rows, [&](std::uint32_t code, std::int32_t width, std::int32_t textureWidth,
                                std::int32_t textureHeight, const std::vector<std::uint32_t>& texels) {
            glyphs[code] = {width, textureWidth, textureHeight, texels};
        });
        ASSERT_EQ(glyphs.size(), 95u);
        EXPECT_EQ(glyphs.at(' '), (TGlyph{3, 4, 8, space})) << topDown;
        for (std::uint32_t code = '!'; code <= '~'; ++code)
            EXPECT_EQ(glyphs.at(code), (TGlyph{0, 1, 8, std::vector<std::uint32_t>(8, 0)})) << code;
    }
}
