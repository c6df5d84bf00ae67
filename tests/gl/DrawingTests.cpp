// The state a game finds after start-up, and pictures, text, triangles and shader quads drawn on a
// real context and read back pixel for pixel.
#include "tests/gl/GLTestSupport.h"
#include "tests/support/BmpWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// The first values of a piece of state: enumerations and sizes are exact as floats.
std::vector<GLfloat> State(GLenum name, std::size_t count = 1)
{
    std::vector<GLfloat> values(count, -1);
    glGetFloatv(name, values.data());
    return values;
}

// Runs first, before any other test has touched the context.
TEST(StartUpState, BuffersSwitchesAndAViewOfOneUnitPerPixelWithYDown)
{
    const std::vector<std::pair<GLenum, GLfloat>> values{
        {GL_RED_BITS, 8},          {GL_GREEN_BITS, 8},          {GL_BLUE_BITS, 8},
        {GL_DOUBLEBUFFER, 1},      {GL_BLEND_SRC, GL_SRC_ALPHA}, {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
        {GL_DEPTH_FUNC, GL_LEQUAL}, {GL_ALPHA_TEST_FUNC, GL_NOTEQUAL}, {GL_SHADE_MODEL, GL_SMOOTH},
        {GL_MATRIX_MODE, GL_MODELVIEW}, {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}, {GL_DEPTH_CLEAR_VALUE, 1},
        {GL_ALPHA_TEST_REF, 0}}; // what is wholly transparent writes no depth
    for (const auto& [name, expected] : values)
        EXPECT_EQ(State(name), std::vector<GLfloat>{expected}) << std::hex << name;
    for (const GLenum name : {GL_BLEND, GL_DEPTH_TEST, GL_ALPHA_TEST})
        EXPECT_TRUE(glIsEnabled(name)) << std::hex << name;
    EXPECT_GE(State(GL_DEPTH_BITS)[0], 16);
    EXPECT_EQ(State(GL_VIEWPORT, 4), (std::vector<GLfloat>{0, 0, 800, 600}));
    EXPECT_EQ(State(GL_COLOR_CLEAR_VALUE, 4), (std::vector<GLfloat>{0, 0, 0, 1}));
    const auto projection = State(GL_PROJECTION_MATRIX, 16);
    EXPECT_EQ(projection, (std::vector<GLfloat>{2.0f / 800, 0, 0, 0, 0, -2.0f / 600, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1}));
    // A zero side would be an infinite scale: the projection stays as it was.
    Engine().SetView(0, 600);
    Engine().SetView(800, 0);
    EXPECT_EQ(State(GL_PROJECTION_MATRIX, 16), projection);
}

// A picture whose every pixel differs from its neighbours; at 32 bits the fourth byte, which must not
// be read as alpha, varies too.
std::uint32_t Pattern(std::int32_t x, std::int32_t y)
{
    return static_cast<std::uint32_t>(x * y & 0xFF) << 24 |
           static_cast<std::uint32_t>((x * 4) << 16 | (y * 8) << 8 | ((x + y) * 5 & 0xFF));
}

TRgb Rgb(std::uint32_t colour)
{
    return {static_cast<int>(colour >> 16 & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
            static_cast<int>(colour & 0xFF)};
}

std::function<std::uint32_t(std::int32_t, std::int32_t)> Fill(std::uint32_t colour)
{
    return [colour](std::int32_t, std::int32_t) { return colour; };
}

// Writes a BMP into the data folder and loads it under the same name.
CTexture& Picture(const std::string& name, const SBmpSpec& layout, bool useColourKeys = false)
{
    WriteDataFile(name, MakeBmp(layout));
    Engine().LoadImage(name, useColourKeys);
    return *Engine().GetTexture(name);
}

void Shader(const std::string& name, std::string_view source)
{
    WriteDataFile(name, std::vector<std::uint8_t>(source.begin(), source.end()));
    Engine().LoadShader(name);
}

// The square with its top-left corner at (left, top), corners counter-clockwise on the screen, texture
// coordinates from (0, 0) at the top left to (1, 1) at the bottom right.
void Square(float left, float top, float size, std::string_view shader)
{
    Engine().DrawShaderQuad({left, top}, 0.0f, 0.0f, {left, top + size}, 0.0f, 1.0f, {left + size, top + size}, 1.0f,
                            1.0f, {left + size, top}, 1.0f, 0.0f, shader);
}

struct SProbe
{
    int X, Y;
    TRgb Colour;
    int Tolerance = 0; // drivers round the last bit either way, and blend in steps
};

struct SScene
{
    const char* What;
    std::function<void()> Draw;
    std::vector<SProbe> Probes;
};

const TRgb Black{0, 0, 0}, Red{255, 0, 0}, Green{0, 255, 0}, Blue{0, 0, 255};

const std::vector<SScene> Scenes{
    {"colour keys over the clear colour: white vanishes, magenta is half grey, near-white stays",
     [] {
         Engine().SetClearColour(0.0f, 0.0f, 1.0f);
         Engine().Clear();
         const std::uint32_t keys[] = {0xFFFFFF, 0xFF00FF, 0xFEFFFF};
         const SBmpSpec layout{3, 1, 24, false, [&](std::int32_t x, std::int32_t) { return keys[x]; }};
         Engine().DrawImage(Picture("Keys.bmp", layout, true), 0, 0, -1, -1, 0.0f, 0.0f);
     },
     {{0, 0, Blue}, {799, 599, Blue}, {1, 0, {63, 63, 191}, 1}, {2, 0, {254, 255, 255}}}},
    {"negative sizes mirror, a picture mirrored one way only is not culled; anchors snap to whole pixels "
     "(10 - 2.5 = 8: 8 to 12), or not (30 - 2.5: column 32's centre is outside)",
     [] {
         CTexture& pattern = Picture("Mirror.bmp", {4, 4, 24, false, Pattern});
         Engine().DrawImage(pattern, 50, 50, -4, -4, 0.0f, 0.0f);
         Engine().DrawImage(pattern, 300, 300, -4, 4, 0.0f, 0.0f);
         CTexture& red = Picture("Red.bmp", {5, 5, 24, false, Fill(0xFF0000)});
         Engine().DrawImage(red, 10, 10, 5, 5, 0.5f, 0.5f);
         Engine().SetPixelSnap(false);
         Engine().DrawImage(red, 30, 10, 5, 5, 0.5f, 0.5f);
     },
     {{49, 46, Rgb(Pattern(0, 3))}, {46, 46, Rgb(Pattern(3, 3))}, {46, 49, Rgb(Pattern(3, 0))},
      {296, 303, Rgb(Pattern(3, 3))}, {7, 10, Black}, {8, 8, Red}, {12, 12, Red}, {13, 10, Black}, {31, 11, Red},
      {32, 11, Black}}},
    {"bit fields: the usual masks, red in the low byte, the channels in the high bytes in a 56-byte header: the "
     "same colours",
     [] {
         const std::array<std::uint32_t, 3> masks[] = {
             {0xFF0000, 0xFF00, 0xFF}, {0xFF, 0xFF00, 0xFF0000}, {0xFF000000, 0xFF0000, 0xFF00}};
         for (int i = 0; i < 3; ++i)
         {
             SBmpSpec layout{2, 1, 32, false, [](std::int32_t x, std::int32_t) { return x == 0 ? 0xFF8000u : 0x0040FFu; }};
             layout.Masks = masks[i];
             layout.InfoSize = i == 2 ? 56 : 40;
             Engine().DrawImage(Picture("Fields" + std::to_string(i) + ".bmp", layout), 10 * i, 400, -1, -1, 0.0f, 0.0f);
         }
     },
     {{0, 400, {255, 128, 0}}, {1, 400, {0, 64, 255}}, {10, 400, {255, 128, 0}}, {11, 400, {0, 64, 255}},
      {20, 400, {255, 128, 0}}, {21, 400, {0, 64, 255}}}},
    {"global alpha: half, then nothing",
     [] {
         Engine().SetClearColour(1.0f, 0.0f, 0.0f);
         Engine().Clear();
         CTexture& texture = Picture("Green.bmp", {2, 2, 24, false, Fill(0x00FF00)});
         Engine().SetAlpha(0.5f);
         Engine().DrawImage(texture, 0, 0, -1, -1, 0.0f, 0.0f);
         Engine().SetAlpha(0.0f);
         Engine().DrawImage(texture, 10, 10, -1, -1, 0.0f, 0.0f);
     },
     {{0, 0, {127, 128, 0}, 1}, {10, 10, Red}}},
    {"triangles culled by winding, coloured per corner; a textured one's (1, 1) is the picture's corner, though the "
     "picture fills only part of its texture",
     [] {
         Engine().DrawFlatTriangle({0, 0}, {0, 10}, {10, 0}, {0, 1, 0});
         Engine().DrawFlatTriangle({20, 0}, {30, 0}, {20, 10}, {0, 1, 0});
         Engine().DrawTriangle({100, 100}, {1, 0, 0}, {100, 200}, {1, 0, 0}, {200, 100}, {0, 0, 1});
         Engine().DrawTexturedTriangle({300, 0}, 0, 0, {300, 31}, 0, 1, {361, 31}, 1, 1,
                                       Picture("Pattern.bmp", {61, 31, 24, false, Pattern}));
     },
     {{2, 2, Green}, {22, 2, Black}, {101, 101, Red, 15}, {197, 101, Blue, 25}, {301, 29, Rgb(Pattern(1, 29))},
      {358, 30, Rgb(Pattern(58, 30))}}},
    {"text: 'A' 3 wide in red, 'B' 4 wide in blue; the magenta rows, marker row included, are transparent",
     [] {
         std::vector<std::int32_t> widths(95, 1);
         widths['A' - 32] = 3;
         widths['B' - 32] = 4;
         WriteDataFile("Font.bmp", MakeFontBmp(widths, 14, false, [](std::uint32_t code, std::int32_t row) {
                           return row >= 12 ? 0xFF00FFu : code == 'A' ? 0xFF0000u : code == 'B' ? 0x0000FFu : 0xFFFFFFu;
                       }));
         Engine().LoadFont("Font.bmp");
         Engine().SetFont("Font.bmp");
         Engine().DrawText("AB", 20, 65);
     },
     {{20, 65, Red}, {22, 76, Red}, {23, 65, Blue}, {26, 65, Blue}, {27, 65, Black}, {21, 77, Black},
      {21, 78, Black}}},
    {"shader: a counter-clockwise quad is filled and nothing else, a clockwise one culled whatever was switched "
     "off; fixed-function drawing goes on after",
     [] {
         Shader("Constant.frag", "void main() { gl_FragColor = vec4(1.0, 0.5, 0.25, 1.0); }\n");
         glDisable(GL_CULL_FACE);
         Engine().DrawShaderQuad({100, 100}, 0, 0, {150, 100}, 1, 0, {150, 150}, 1, 1, {100, 150}, 0, 1,
                                 "Constant.frag");
         EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
         Square(200, 100, 50, "Constant.frag");
         EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
         EXPECT_EQ(State(GL_CURRENT_PROGRAM)[0], 0);
         Engine().DrawFlatTriangle({300, 300}, {300, 310}, {310, 300}, {1, 0, 0});
     },
     {{125, 125, Black}, {200, 100, {255, 128, 64}, 1}, {249, 149, {255, 128, 64}, 1}, {199, 125, Black},
      {250, 125, Black}, {225, 150, Black}, {302, 302, Red}}},
    {"shader: texture coordinates come through unscaled whatever picture is bound, and 0 to 1 span the whole "
     "texture that drawing a picture bound, 4 by 4 for a picture of 3 by 3",
     [] {
         Shader("Coordinates.frag", "void main() { gl_FragColor = vec4(gl_TexCoord[0].st, 0.0, 1.0); }\n");
         Shader("Sample.frag", "uniform sampler2D Picture;\n"
                               "void main() { gl_FragColor = texture2D(Picture, gl_TexCoord[0].st); }\n");
         Engine().DrawImage(Picture("Partial.bmp", {3, 3, 24, false, Pattern}), 700, 500, -1, -1, 0.0f, 0.0f);
         Square(0, 0, 256, "Coordinates.frag");
         Engine().DrawShaderQuad({300, 0}, 0.5f, 0.25f, {300, 10}, 0.5f, 0.25f, {310, 10}, 0.5f, 0.25f, {310, 0}, 0.5f,
                                 0.25f, "Coordinates.frag");
         Square(300, 300, 64, "Sample.frag");
     },
     // Pixel n's centre lies (n + 0.5) / 256 of the way across: n itself, rounded to 255ths.
     {{0, 10, {0, 10, 0}, 2}, {128, 10, {128, 10, 0}, 2}, {255, 10, {255, 10, 0}, 2}, {10, 64, {10, 64, 0}, 2},
      {10, 200, {10, 200, 0}, 2}, {305, 5, {128, 64, 0}, 1}, {324, 308, Rgb(Pattern(1, 0))},
      {308, 340, Rgb(Pattern(0, 2))}, {340, 340, Rgb(Pattern(2, 2))}, {356, 308, Black}, {308, 356, Black}}},
};
} // namespace

TEST(Drawing, ScenesReadBackAtTheirProbes)
{
    for (const SScene& scene : Scenes)
    {
        SCOPED_TRACE(scene.What);
        ResetFrame();
        scene.Draw();
        for (const SProbe& probe : scene.Probes)
            EXPECT_PRED3(Near, PixelAt(probe.X, probe.Y), probe.Colour, probe.Tolerance) << probe.X << ", " << probe.Y;
    }
    EXPECT_TRUE(Engine().Present());
}

TEST(Drawing, PicturesOfBothRowOrdersAndDepthsAreDrawnUprightOneToOne)
{
    for (const bool topDown : {false, true})
        for (const std::int32_t depth : {24, 32})
        {
            ResetFrame();
            Engine().DrawImage(Picture("Pattern.bmp", {61, 31, depth, topDown, Pattern}), 100, 50, -1, -1, 0.0f, 0.0f);
            int wrong = 0;
            // One pixel beyond the picture on the right and below: the rest of the texture is never drawn.
            for (int y = 0; y <= 31; ++y)
                for (int x = 0; x <= 61; ++x)
                    wrong += PixelAt(100 + x, 50 + y) == (x < 61 && y < 31 ? Rgb(Pattern(x, y)) : Black) ? 0 : 1;
            EXPECT_EQ(wrong, 0) << "top-down " << topDown << ", " << depth << " bits";
        }
}

TEST(Drawing, PicturesTheBackendCannotReadOrTheEngineCannotDrawAreRefused)
{
    // Read for its depth alone; and a small file whose headers claim far more than it holds, which the
    // backend's reader never sees.
    WriteDataFile("Eight.bmp", MakeBmp({4, 4, 8}));
    auto huge = MakeBmp({4, 4, 24});
    huge[19] = huge[23] = 0x40; // 16388 by 16388
    WriteDataFile("Huge.bmp", huge);
    EXPECT_EQ(ErrorOf([] { Engine().LoadImage("Eight.bmp", false); }), "Unsupported bit depth");
    EXPECT_EQ(ErrorOf([] { Engine().LoadImage("Huge.bmp", false); }), "Image file not found: Huge.bmp");
}
