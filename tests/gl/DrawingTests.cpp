// Pictures, text and triangles drawn on a real context and read back pixel for pixel.
#include "Vantor/GL.h"
#include "Shared/CGeneralError.h"
#include "Shared/CVantorException.h"
#include "tests/gl/GLTestSupport.h"
#include "tests/support/BmpWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace
{
SRgb Rgb(std::uint32_t colour)
{
    return {static_cast<int>(colour >> 16 & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
            static_cast<int>(colour & 0xFF)};
}

// A picture whose every pixel differs from its neighbours.
std::uint32_t Pattern(std::int32_t x, std::int32_t y)
{
    return static_cast<std::uint32_t>((x * 4) << 16 | (y * 8) << 8 | ((x + y) * 5 & 0xFF));
}

class Drawing : public ::testing::Test
{
protected:
    void SetUp() override { ResetFrame(); }

    // Writes a BMP into the data folder and loads it under the same name.
    std::shared_ptr<CTexture> Load(const std::string& name, const SBmpSpec& layout, bool useColourKeys = false)
    {
        WriteDataFile(name, MakeBmp(layout));
        Engine().LoadImage(name, useColourKeys);
        return Engine().GetTexture(name);
    }
};
} // namespace

TEST_F(Drawing, PicturesOfBothRowOrdersAndDepthsAreDrawnUprightOneToOne)
{
    for (const bool topDown : {false, true})
        for (const std::int32_t depth : {24, 32})
        {
            SetUp();
            const auto texture = Load("Pattern.bmp", {61, 31, depth, topDown, Pattern});
            EXPECT_EQ(texture->GetMaxU(), 61.0f / 64.0f);
            EXPECT_EQ(texture->GetMaxV(), 31.0f / 32.0f);
            Engine().DrawImage(*texture, 100, 50, -1, -1, 0.0f, 0.0f);
            int wrong = 0;
            for (int y = 0; y < 31; ++y)
                for (int x = 0; x < 61; ++x)
                    wrong += PixelAt(100 + x, 50 + y) == Rgb(Pattern(x, y)) ? 0 : 1;
            EXPECT_EQ(wrong, 0) << "top-down " << topDown << ", " << depth << " bits";
            // Nothing beyond the picture: the rest of the power-of-two texture is never drawn.
            EXPECT_EQ(PixelAt(161, 50), (SRgb{0, 0, 0}));
            EXPECT_EQ(PixelAt(100, 81), (SRgb{0, 0, 0}));
        }
}

TEST_F(Drawing, ColourKeysMakeWhiteVanishAndMagentaHalfGrey)
{
    Engine().SetClearColour(0.0f, 0.0f, 1.0f);
    Engine().Clear();
    const std::vector<std::uint32_t> colours{0xFFFFFF, 0xFF00FF, 0xFEFFFF};
    const auto texture =
        Load("Keys.bmp", {3, 1, 24, false, [&](std::int32_t x, std::int32_t) { return colours[x]; }}, true);
    Engine().DrawImage(*texture, 0, 0, -1, -1, 0.0f, 0.0f);
    EXPECT_EQ(PixelAt(0, 0), (SRgb{0, 0, 255}));
    const SRgb grey = PixelAt(1, 0); // grey 127 at alpha 127 over blue
    EXPECT_NEAR(grey.Red, 63, 1);
    EXPECT_NEAR(grey.Green, 63, 1);
    EXPECT_NEAR(grey.Blue, 191, 1);
    EXPECT_EQ(PixelAt(2, 0), (SRgb{254, 255, 255}));
}

TEST_F(Drawing, AnchorsSnapToWholePixels)
{
    const auto texture = Load("Red.bmp", {5, 5, 24, false, [](std::int32_t, std::int32_t) { return 0xFF0000u; }});
    Engine().DrawImage(*texture, 10, 10, 5, 5, 0.5f, 0.5f);
    // 10 - t(2.5) = 8: columns and rows 8 to 12.
    EXPECT_EQ(PixelAt(7, 10), (SRgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(8, 8), (SRgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(12, 12), (SRgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(13, 10), (SRgb{0, 0, 0}));

    Engine().Clear();
    Engine().SetPixelSnap(false);
    Engine().DrawImage(*texture, 10, 10, 5, 5, 0.5f, 0.5f);
    // From 7.5 to 12.5: column 12's centre lies outside.
    EXPECT_EQ(PixelAt(11, 11), (SRgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(12, 11), (SRgb{0, 0, 0}));
}

TEST_F(Drawing, NegativeSizesMirrorThePicture)
{
    const auto texture = Load("Mirror.bmp", {4, 4, 24, false, Pattern});
    Engine().DrawImage(*texture, 50, 50, -4, -4, 0.0f, 0.0f);
    EXPECT_EQ(PixelAt(49, 49), Rgb(Pattern(0, 0)));
    EXPECT_EQ(PixelAt(46, 46), Rgb(Pattern(3, 3)));
    EXPECT_EQ(PixelAt(46, 49), Rgb(Pattern(3, 0)));
}

TEST_F(Drawing, GlobalAlphaAndClearColour)
{
    Engine().SetClearColour(1.0f, 0.0f, 0.0f);
    Engine().Clear();
    EXPECT_EQ(PixelAt(0, 0), (SRgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(799, 599), (SRgb{255, 0, 0}));

    const auto texture = Load("Green.bmp", {2, 2, 24, false, [](std::int32_t, std::int32_t) { return 0x00FF00u; }});
    Engine().SetAlpha(0.5f);
    Engine().DrawImage(*texture, 0, 0, -1, -1, 0.0f, 0.0f);
    const SRgb half = PixelAt(0, 0);
    EXPECT_NEAR(half.Red, 127, 1);
    EXPECT_NEAR(half.Green, 128, 1);
    Engine().SetAlpha(0.0f);
    Engine().DrawImage(*texture, 10, 10, -1, -1, 0.0f, 0.0f);
    EXPECT_EQ(PixelAt(10, 10), (SRgb{255, 0, 0}));
}

TEST_F(Drawing, TrianglesAreCulledByWindingAndColouredPerCorner)
{
    Engine().DrawFlatTriangle({0, 0}, {0, 10}, {10, 0}, {0, 1, 0});
    EXPECT_EQ(PixelAt(2, 2), (SRgb{0, 255, 0}));
    Engine().DrawFlatTriangle({20, 0}, {30, 0}, {20, 10}, {0, 1, 0});
    EXPECT_EQ(PixelAt(22, 2), (SRgb{0, 0, 0}));

    Engine().DrawTriangle({100, 100}, {1, 0, 0}, {100, 200}, {1, 0, 0}, {200, 100}, {0, 0, 1});
    const SRgb nearRed = PixelAt(101, 101);
    const SRgb nearBlue = PixelAt(197, 101);
    EXPECT_GT(nearRed.Red, 240);
    EXPECT_GT(nearBlue.Blue, 230);

    // A mirrored image is not culled.
    const auto texture = Load("Mirror.bmp", {4, 4, 24, false, Pattern});
    Engine().DrawImage(*texture, 300, 300, -4, 4, 0.0f, 0.0f);
    EXPECT_EQ(PixelAt(299, 300), Rgb(Pattern(0, 0)));
}

TEST_F(Drawing, TexturedTriangleTakesFractionsOfThePicture)
{
    const auto texture = Load("Pattern.bmp", {61, 31, 24, false, Pattern});
    // The picture's bottom-right corner as (1, 1), though it fills only part of its texture.
    Engine().DrawTexturedTriangle({0, 0}, 0, 0, {0, 31}, 0, 1, {61, 31}, 1, 1, *texture);
    EXPECT_EQ(PixelAt(1, 29), Rgb(Pattern(1, 29)));
    EXPECT_EQ(PixelAt(58, 30), Rgb(Pattern(58, 30)));
}

TEST_F(Drawing, TextGlyphsStandSideBySide)
{
    // 'A' 3 wide in red, 'B' 4 wide in blue, every other glyph 1 wide in white; 14 rows.
    std::vector<std::int32_t> starts;
    std::int32_t width = 0;
    for (std::uint32_t code = 32; code <= 126; ++code)
    {
        starts.push_back(width);
        width += (code == 'A' ? 3 : code == 'B' ? 4 : 1) + 1;
    }
    WriteDataFile("Font.bmp", MakeBmp({width, 14, 24, false, [&](std::int32_t x, std::int32_t y) -> std::uint32_t {
                                            const auto next = std::upper_bound(starts.begin(), starts.end(), x);
                                            const std::int32_t end = next == starts.end() ? width : *next;
                                            if (x == end - 1)
                                                return y == 13 ? 0x00FF00u : 0xFF00FFu;
                                            if (y >= 12)
                                                return 0xFF00FFu;
                                            const std::int32_t code = 32 + static_cast<std::int32_t>(next - starts.begin()) - 1;
                                            return code == 'A' ? 0xFF0000u : code == 'B' ? 0x0000FFu : 0xFFFFFFu;
                                        }}));
    Engine().LoadFont("Font.bmp");
    Engine().SetFont("Font.bmp");
    Engine().DrawText("AB", 20, 65);
    EXPECT_EQ(PixelAt(20, 65), (SRgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(22, 76), (SRgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(23, 65), (SRgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(26, 65), (SRgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(27, 65), (SRgb{0, 0, 0}));
    // The magenta rows at the bottom, the marker row included, are transparent.
    EXPECT_EQ(PixelAt(21, 77), (SRgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(21, 78), (SRgb{0, 0, 0}));
}

TEST_F(Drawing, FilesThatCannotBecomeTexturesAreRefusedByName)
{
    WriteDataFile("Eight.bmp", MakeBmp({4, 4, 8}));
    try
    {
        Engine().LoadImage("Eight.bmp", false);
        ADD_FAILURE() << "an 8-bit picture was accepted";
    }
    catch (const CGeneralError& error)
    {
        EXPECT_STREQ(error.what(), "Unsupported bit depth");
    }

    // A small file whose headers claim far more than it holds.
    auto huge = MakeBmp({4, 4, 24});
    huge[19] = 0x40; // width 16388
    huge[23] = 0x40; // height 16388
    WriteDataFile("Huge.bmp", huge);
    EXPECT_THROW(
        {
            try
            {
                Engine().LoadImage("Huge.bmp", false);
            }
            catch (const CVantorException& error)
            {
                EXPECT_STREQ(error.what(), "Image file not found: Huge.bmp");
                throw;
            }
        },
        CVantorException);

    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    WriteDataFile("Wide.bmp", MakeBmp({largest + 1, 1, 24}));
    try
    {
        Engine().LoadImage("Wide.bmp", false);
        ADD_FAILURE() << "a picture wider than any texture was accepted";
    }
    catch (const CVantorException& error)
    {
        EXPECT_STREQ(error.what(), "Image too large: Wide.bmp");
    }

    Load("Case.bmp", {1, 1, 24});
    try
    {
        Engine().GetTexture("case.bmp");
        ADD_FAILURE() << "names must be case-sensitive";
    }
    catch (const CVantorException& error)
    {
        EXPECT_STREQ(error.what(), "Texture not loaded: case.bmp");
    }
}
