// The OpenGL state a game finds after start-up, on a real context.
#include "Vantor/GL.h"
#include "tests/gl/GLTestMain.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
std::array<GLubyte, 4> PixelAt(int x, int y)
{
    // Window coordinates count from the bottom row.
    std::array<GLubyte, 4> pixel{};
    glReadPixels(x, 600 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

void Quad(float left, float top, float size, float z)
{
    glBegin(GL_QUADS);
    glVertex3f(left, top, z);
    glVertex3f(left, top + size, z);
    glVertex3f(left + size, top + size, z);
    glVertex3f(left + size, top, z);
    glEnd();
}
} // namespace

TEST(StartUpState, ContextHasTheRequestedBuffers)
{
    GLint red = 0, green = 0, blue = 0, depth = 0, doubleBuffered = 0;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_EQ(red + green + blue, 24);
    EXPECT_GE(depth, 16);
    EXPECT_TRUE(doubleBuffered);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
}

TEST(StartUpState, BlendDepthAlphaAndShading)
{
    GLfloat clear[4] = {-1, -1, -1, -1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[1], 0.0f);
    EXPECT_EQ(clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
    GLfloat clearDepth = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
    EXPECT_EQ(clearDepth, 1.0f);

    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_NOTEQUAL);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
}

TEST(StartUpState, ViewMakesOneUnitOneClientPixelWithYDown)
{
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 800.0f);
    EXPECT_FLOAT_EQ(projection[5], -2.0f / 600.0f);
    EXPECT_FLOAT_EQ(projection[10], 1.0f);
    EXPECT_FLOAT_EQ(projection[12], -1.0f);
    EXPECT_FLOAT_EQ(projection[13], 1.0f);

    // A zero side would be an infinite scale: the projection stays as it was.
    Engine().SetView(0, 600);
    Engine().SetView(800, 0);
    GLfloat after[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], projection[i]) << i;
}

TEST(StartUpState, ClearUsesTheClearColourAndFullyTransparentFragmentsLeaveNoTrace)
{
    Engine().SetClearColour(0.0f, 0.0f, 1.0f);
    Engine().Clear();
    EXPECT_EQ(PixelAt(400, 300), (std::array<GLubyte, 4>{0, 0, 255, PixelAt(400, 300)[3]}));

    glDisable(GL_TEXTURE_2D);
    // Alpha exactly 0 in front: dropped by the alpha test, so it writes no depth either.
    glColor4f(0.0f, 1.0f, 0.0f, 0.0f);
    Quad(100, 100, 50, -0.5f);
    // Behind it, opaque red still lands.
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    Quad(100, 100, 50, 0.5f);
    const auto pixel = PixelAt(120, 120);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(pixel[2], 0);
    EXPECT_TRUE(Engine().Present());
    Engine().SetClearColour(0.0f, 0.0f, 0.0f);
}
