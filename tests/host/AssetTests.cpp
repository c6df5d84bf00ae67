#include "tests/host/HostTest.h"

#include "Shared/CGeneralError.h"
#include "Shared/CVantorException.h"

#include <cstring>

namespace
{
std::uint32_t Texel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
{
    const std::uint8_t bytes[4] = {red, green, blue, alpha};
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return value;
}
} // namespace

using Textures = HostTest;

TEST_F(Textures, PictureBecomesAPowerOfTwoTextureWithItsShare)
{
    Platform->Pictures["Background.bmp"] = CFakePlatform::Picture24(800, 600, [](std::int32_t, std::int32_t) {
        return 0x336699u;
    });
    Application->LoadImage("Background.bmp", false);
    const auto texture = Application->GetTexture("Background.bmp");
    EXPECT_EQ(texture->GetWidth(), 800);
    EXPECT_EQ(texture->GetHeight(), 600);
    EXPECT_EQ(texture->GetMaxU(), 0.78125f);
    EXPECT_EQ(texture->GetMaxV(), 0.5859375f);
    EXPECT_EQ(FakeGL::LastTextureWidth, 1024);
    EXPECT_EQ(FakeGL::LastTextureHeight, 1024);
    EXPECT_EQ(FakeGL::LastTexels[0], Texel(0x33, 0x66, 0x99, 255));
    EXPECT_EQ(FakeGL::LastTexels[800], 0u);
    EXPECT_EQ(Count("glTexImage2D(0xDE1, 0, 0x8058, 1024, 1024, 0, 0x1908, 0x1401)"), 1);
    // The bitmap is given back before the texture is made.
    EXPECT_EQ(Only({"BitmapReleased", "glTexImage2D"}).front(), "BitmapReleased Background.bmp");
}

TEST_F(Textures, FailuresNameTheFileAndLeaveTheTableAsItWas)
{
    Platform->Pictures["Old.bmp"] = CFakePlatform::Picture24(2, 2, [](std::int32_t, std::int32_t) { return 1u; });
    Application->LoadImage("Old.bmp", false);
    const auto old = Application->GetTexture("Old.bmp");

    auto eightBit = CFakePlatform::Picture24(2, 2, [](std::int32_t, std::int32_t) { return 0u; });
    eightBit.BitsPerPixel = 8;
    Platform->Pictures["Old.bmp"] = eightBit;
    Log.clear();
    try
    {
        Application->LoadImage("Old.bmp", false);
        ADD_FAILURE() << "8-bit picture accepted";
    }
    catch (const CGeneralError& error)
    {
        EXPECT_STREQ(error.what(), "Unsupported bit depth");
        EXPECT_STREQ(error.GetFile(), "Host/CApplicationAssets.cpp");
    }
    EXPECT_EQ(Only({"BitmapReleased"}).size(), 1u);

    // Larger than the context's textures: refused before anything is allocated for it.
    FakeGL::MaxTextureSize = 256;
    Platform->Pictures["Old.bmp"] = CFakePlatform::Picture24(257, 1, [](std::int32_t, std::int32_t) { return 0u; });
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->LoadImage("Old.bmp", false); }),
              "Image too large: Old.bmp");
    FakeGL::MaxTextureSize = 4096;

    EXPECT_EQ(Application->GetTexture("Old.bmp"), old);
    EXPECT_EQ(Count("glTexImage2D(0xDE1, 0, 0x8058, 2, 2, 0, 0x1908, 0x1401)"), 0);
}

TEST_F(Textures, LaterLoadsReplace)
{
    Platform->Pictures["A.bmp"] = CFakePlatform::Picture24(1, 1, [](std::int32_t, std::int32_t) { return 1u; });
    Application->LoadImage("A.bmp", false);
    const auto first = Application->GetTexture("A.bmp");
    Application->LoadImage("A.bmp", false);
    const auto second = Application->GetTexture("A.bmp");
    EXPECT_NE(first->GetTextureId(), second->GetTextureId());
    EXPECT_EQ(first->GetWidth(), 1); // a replaced texture stays valid for whoever holds it
}

TEST_F(Textures, CreateTextureCopiesRowsAndRefusesTooFewPixels)
{
    const std::vector<std::uint32_t> pixels{1, 2, 3, 4, 5, 6};
    const auto texture = Application->CreateTexture("Made", pixels, 3, 2);
    EXPECT_EQ(texture, Application->GetTexture("Made"));
    EXPECT_EQ(texture->GetMaxU(), 0.75f);
    EXPECT_EQ(texture->GetMaxV(), 1.0f);
    EXPECT_EQ(FakeGL::LastTexels, (std::vector<std::uint32_t>{1, 2, 3, 0, 4, 5, 6, 0}));

    const auto single = Application->CreateTexture("One", std::vector<std::uint32_t>{7}, 1, 1);
    EXPECT_EQ(single->GetMaxU(), 1.0f);
    EXPECT_EQ(single->GetMaxV(), 1.0f);

    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->CreateTexture("Short", pixels, 4, 2); }),
              "Too few pixels for texture: Short");
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->CreateTexture("Negative", pixels, -3, -2); }),
              "Invalid texture size: Negative");
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->GetTexture("Short"); }), "Texture not loaded: Short");
}

using Fonts = HostTest;

namespace
{
// Glyphs 5, 3, 0 (adjacent markers), then 4 wide for the rest; 14 rows.
CFakePlatform::SPicture FontPicture()
{
    std::vector<std::int32_t> markers;
    std::int32_t x = 0;
    for (std::int32_t code = 32; code <= 126; ++code)
    {
        x += code == 32 ? 5 : code == 33 ? 3 : code == 34 ? 0 : 4;
        markers.push_back(x++);
    }
    return CFakePlatform::Picture24(x, 14, [markers](std::int32_t column, std::int32_t row) {
        const bool marker = std::find(markers.begin(), markers.end(), column) != markers.end();
        return marker && row == 13 ? 0x00FF00u : 0xFF00FFu;
    });
}
} // namespace

TEST_F(Fonts, GlyphsAreDrawnSideBySideFromTheTopLeftCorner)
{
    Platform->Pictures["Font.bmp"] = FontPicture();
    Application->LoadFont("Font.bmp");
    Application->SetFont("Font.bmp");
    Log.clear();
    // ' ' is 5 wide, '!' 3, '"' 0: the quotes take no room.
    Application->DrawText(" !\"!", 20, 65);
    EXPECT_EQ(Vertices(), (std::vector<std::string>{
                                 "glVertex2f(20, 65)", "glVertex2f(25, 65)", "glVertex2f(25, 79)", "glVertex2f(20, 79)",
                                 "glVertex2f(25, 65)", "glVertex2f(28, 65)", "glVertex2f(28, 79)", "glVertex2f(25, 79)",
                                 "glVertex2f(28, 65)", "glVertex2f(28, 65)", "glVertex2f(28, 79)", "glVertex2f(28, 79)",
                                 "glVertex2f(28, 65)", "glVertex2f(31, 65)", "glVertex2f(31, 79)", "glVertex2f(28, 79)"}));
    // 14 rows of a 16-high texture: every bottom-left corner, and the empty glyph's right one (GetMaxU 0).
    EXPECT_EQ(Count("glTexCoord2f(0, 0.875)"), 5);
}

TEST_F(Fonts, MissingCharactersAreSkippedAndBadTextStopsAfterWhatWasDrawn)
{
    Platform->Pictures["Font.bmp"] = FontPicture();
    Application->LoadFont("Font.bmp");
    Application->SetFont("Font.bmp");
    Log.clear();
    Application->DrawText("\n\xC3\xA9!", 0, 0); // neither a line feed nor an accented letter has a glyph
    EXPECT_EQ(Vertices().front(), "glVertex2f(0, 0)");
    EXPECT_EQ(Vertices().size(), 4u);

    Log.clear();
    Application->DrawText("", 0, 0);
    EXPECT_TRUE(Vertices().empty());

    EXPECT_THROW(Application->DrawText("!!\xFF!", 0, 0), CGeneralError);
    EXPECT_EQ(Vertices().size(), 8u);
}

TEST_F(Fonts, DrawingTextNeedsAFontSelected)
{
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->DrawText("A", 0, 0); }), "No font selected");
    // Loading does not select.
    Platform->Pictures["Font.bmp"] = FontPicture();
    Application->LoadFont("Font.bmp");
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->DrawText("A", 0, 0); }), "No font selected");
}
