// Fragment-shader programs on a real context: loaded from files the tests write, drawn, read back.
#include "Vantor/GL.h"
#include "Shared/CVantorException.h"
#include "tests/gl/GLTestSupport.h"
#include "tests/support/BmpWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace
{
// Within one step of each channel: drivers round the last bit either way.
::testing::AssertionResult Near(const SRgb& actual, const SRgb& expected, int tolerance = 1)
{
    if (std::abs(actual.Red - expected.Red) <= tolerance && std::abs(actual.Green - expected.Green) <= tolerance &&
        std::abs(actual.Blue - expected.Blue) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " instead of " << expected;
}

std::string Constant(const char* rgba)
{
    return std::string("void main() { gl_FragColor = vec4(") + rgba + "); }\n";
}

GLint CurrentProgram()
{
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

class Shaders : public ::testing::Test
{
protected:
    void SetUp() override { ResetFrame(); }

    void Load(const std::string& name, const std::string& source)
    {
        WriteDataFile(name, source);
        Engine().LoadShader(name);
    }

    // The square with its top-left corner at (left, top), corners counter-clockwise on the screen,
    // texture coordinates from (0, 0) at the top left to (1, 1) at the bottom right.
    static void Square(float left, float top, float size, std::string_view shader)
    {
        Engine().DrawShaderQuad({left, top}, 0.0f, 0.0f, {left, top + size}, 0.0f, 1.0f, {left + size, top + size},
                                1.0f, 1.0f, {left + size, top}, 1.0f, 0.0f, shader);
    }
};
} // namespace

TEST_F(Shaders, ConstantColourFillsTheQuadAndNothingElse)
{
    Load("Constant.frag", Constant("1.0, 0.5, 0.25, 1.0"));
    Square(100, 100, 50, "Constant.frag");
    EXPECT_TRUE(Near(PixelAt(100, 100), {255, 128, 64}));
    EXPECT_TRUE(Near(PixelAt(149, 149), {255, 128, 64}));
    EXPECT_TRUE(Near(PixelAt(125, 125), {255, 128, 64}));
    EXPECT_TRUE(Near(PixelAt(99, 125), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(PixelAt(150, 125), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(PixelAt(125, 150), {0, 0, 0}, 0));
    EXPECT_EQ(CurrentProgram(), 0);
}

TEST_F(Shaders, TextureCoordinatesReachTheShaderUnchanged)
{
    Load("Coordinates.frag", "void main() { gl_FragColor = vec4(gl_TexCoord[0].st, 0.0, 1.0); }\n");
    // A picture whose texture it fills only in part is bound: the coordinates are still not scaled.
    WriteDataFile("Partial.bmp", MakeBmp({61, 31, 24, false, [](std::int32_t, std::int32_t) { return 0xFFFFFFu; }}));
    Engine().LoadImage("Partial.bmp", false);
    Engine().DrawImage(*Engine().GetTexture("Partial.bmp"), 700, 500, -1, -1, 0.0f, 0.0f);

    Square(0, 0, 256, "Coordinates.frag");
    for (const int at : {0, 64, 128, 200, 255})
    {
        // The centre of pixel n lies at (n + 0.5) / 256 of the way across.
        const int expected = static_cast<int>((at + 0.5) / 256.0 * 255.0 + 0.5);
        EXPECT_TRUE(Near(PixelAt(at, 10), {expected, 10, 0}, 2)) << "x " << at;
        EXPECT_TRUE(Near(PixelAt(10, at), {10, expected, 0}, 2)) << "y " << at;
    }
    // Other coordinates than 0 to 1 come through as given.
    Engine().DrawShaderQuad({300, 0}, 0.5f, 0.25f, {300, 10}, 0.5f, 0.25f, {310, 10}, 0.5f, 0.25f, {310, 0}, 0.5f,
                            0.25f, "Coordinates.frag");
    EXPECT_TRUE(Near(PixelAt(305, 5), {128, 64, 0}));
}

TEST_F(Shaders, CoordinatesZeroToOneSpanTheWholeBoundTexture)
{
    Load("Sample.frag", "uniform sampler2D Picture;\n"
                        "void main() { gl_FragColor = texture2D(Picture, gl_TexCoord[0].st); }\n");
    const std::uint32_t colours[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFF00}};
    WriteDataFile("Quarters.bmp", MakeBmp({2, 2, 24, false, [&](std::int32_t x, std::int32_t y) {
                                               return colours[y][x];
                                           }}));
    Engine().LoadImage("Quarters.bmp", false);
    // Drawing it binds it; the shader quad binds nothing of its own.
    Engine().DrawImage(*Engine().GetTexture("Quarters.bmp"), 700, 500, -1, -1, 0.0f, 0.0f);
    Square(200, 200, 64, "Sample.frag");
    EXPECT_TRUE(Near(PixelAt(216, 216), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(PixelAt(248, 216), {0, 255, 0}, 0));
    EXPECT_TRUE(Near(PixelAt(216, 248), {0, 0, 255}, 0));
    EXPECT_TRUE(Near(PixelAt(248, 248), {255, 255, 0}, 0));
}

TEST_F(Shaders, FailuresHaveTheirMessagesAndKeepTheProgramThatWasThere)
{
    Load("Swap.frag", Constant("0.0, 1.0, 0.0, 1.0"));

    WriteDataFile("Swap.frag", "this is no shader at all");
    EXPECT_EQ(ErrorOf([] { Engine().LoadShader("Swap.frag"); }), "Shader compile failed: Swap.frag");
    Square(0, 0, 10, "Swap.frag");
    EXPECT_TRUE(Near(PixelAt(5, 5), {0, 255, 0}));

    // It compiles, but the function it calls is nowhere defined.
    WriteDataFile("Swap.frag", "vec4 Colour();\nvoid main() { gl_FragColor = Colour(); }\n");
    EXPECT_EQ(ErrorOf([] { Engine().LoadShader("Swap.frag"); }), "Program link failed for shader: Swap.frag");
    Square(20, 0, 10, "Swap.frag");
    EXPECT_TRUE(Near(PixelAt(25, 5), {0, 255, 0}));
}

TEST_F(Shaders, EmptyFileIsAnEmptySourceAndAZeroByteEndsTheSource)
{
    // The empty source goes to the compiler as it is, and Mesa's refuses a shader of nothing.
    WriteDataFile("Empty.frag", "");
    EXPECT_EQ(ErrorOf([] { Engine().LoadShader("Empty.frag"); }), "Shader compile failed: Empty.frag");
    EXPECT_EQ(ErrorOf([] { Square(0, 0, 10, "Empty.frag"); }), "Shader not loaded: Empty.frag");

    std::string source = Constant("0.0, 0.0, 1.0, 1.0");
    source += '\0';
    source += "} this would never compile {";
    Load("Zero.frag", source);
    Square(0, 0, 10, "Zero.frag");
    EXPECT_TRUE(Near(PixelAt(5, 5), {0, 0, 255}));
}

TEST_F(Shaders, NameInAnotherCaseIsAnotherName)
{
    Load("Case.frag", Constant("1.0, 1.0, 1.0, 1.0"));
    EXPECT_EQ(ErrorOf([] { Square(0, 0, 10, "case.frag"); }), "Shader not loaded: case.frag");
    EXPECT_EQ(ErrorOf([] { Square(0, 0, 10, "CASE.FRAG"); }), "Shader not loaded: CASE.FRAG");
    EXPECT_TRUE(Near(PixelAt(5, 5), {0, 0, 0}, 0));
    Square(0, 0, 10, "Case.frag");
    EXPECT_TRUE(Near(PixelAt(5, 5), {255, 255, 255}));
}

TEST_F(Shaders, ClockwiseQuadIsCulledAndProgramZeroIsCurrentAfterwards)
{
    Load("White.frag", Constant("1.0, 1.0, 1.0, 1.0"));
    // Culling is the quad's own doing, whatever was switched off before.
    glDisable(GL_CULL_FACE);
    Engine().DrawShaderQuad({100, 100}, 0, 0, {150, 100}, 1, 0, {150, 150}, 1, 1, {100, 150}, 0, 1, "White.frag");
    EXPECT_TRUE(Near(PixelAt(125, 125), {0, 0, 0}, 0));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(CurrentProgram(), 0);

    Engine().DrawShaderQuad({100, 100}, 0, 0, {100, 150}, 0, 1, {150, 150}, 1, 1, {150, 100}, 1, 0, "White.frag");
    EXPECT_TRUE(Near(PixelAt(125, 125), {255, 255, 255}));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(CurrentProgram(), 0);

    // Fixed-function drawing goes on as before: a triangle keeps its corner colours.
    Engine().DrawFlatTriangle({300, 300}, {300, 310}, {310, 300}, {1, 0, 0});
    EXPECT_TRUE(Near(PixelAt(302, 302), {255, 0, 0}, 0));
}
