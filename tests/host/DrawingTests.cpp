#include "tests/host/HostTest.h"

using Drawing = HostTest;

TEST_F(Drawing, AnchorsWithAndWithoutPixelSnap)
{
    const CTexture texture(20, 10, 0.625f, 0.625f, 3);
    Application->DrawImage(texture, 10, 10, 5, 5, 0.5f, 0.5f);
    Application->SetPixelSnap(false);
    Application->DrawImage(texture, 10, 10, 5, 5, 0.5f, 0.5f);
    Application->SetPixelSnap(true);
    // A negative product truncates toward zero too.
    Application->DrawImage(texture, 10, 0, 5, 5, -0.5f, 0.0f);
    const auto vertices = Vertices();
    ASSERT_EQ(vertices.size(), 12u);
    EXPECT_EQ(vertices[0], "glVertex2f(8, 8)");
    EXPECT_EQ(vertices[2], "glVertex2f(13, 13)");
    EXPECT_EQ(vertices[4], "glVertex2f(7.5, 7.5)");
    EXPECT_EQ(vertices[8], "glVertex2f(12, 0)");
}

TEST_F(Drawing, MinusOneMeansTheOwnSizeAndOtherNegativesMirror)
{
    const CTexture texture(20, 10, 0.625f, 0.625f, 3);
    Application->DrawImage(texture, 0, 0, -1, -1, 0.0f, 0.0f);
    Application->DrawImage(texture, 50, 50, -2, -2, 0.0f, 0.0f);
    const auto vertices = Vertices();
    EXPECT_EQ(vertices[2], "glVertex2f(20, 10)");
    EXPECT_EQ(vertices[6], "glVertex2f(48, 48)");
    EXPECT_EQ(Only({"glTexCoord2f"})[2], "glTexCoord2f(0.625, 0.625)");
}

TEST_F(Drawing, StateEachPrimitiveSetsForItself)
{
    const CTexture texture(4, 4, 1.0f, 1.0f, 9);
    Application->DrawImage(texture, 0, 0, -1, -1, 0.0f, 0.0f);
    Application->SetSmoothing(true);
    Application->SetAlpha(0.5f);
    Application->DrawTexturedTriangle({0, 0, 0}, 0, 0, {0, 4, 0}, 0, 1, {4, 0, 0.25f}, 1, 0, texture);
    Application->DrawFlatTriangle({0, 0, 0}, {0, 4, 0}, {4, 0, 0}, {1, 0, 0});
    EXPECT_EQ(Only({"glEnable(0xDE1)", "glDisable", "glEnable(0xB44)", "glBindTexture", "glTexParameteri", "glBegin",
                    "glColor4f"}),
              (std::vector<std::string>{
                  // the image: texturing on, culling off, nearest filters, opaque
                  "glEnable(0xDE1)", "glDisable(0xB44)", "glBindTexture(0xDE1, 9)",
                  "glTexParameteri(0xDE1, 0x2801, 0x2600)", "glTexParameteri(0xDE1, 0x2800, 0x2600)",
                  "glBegin(0x7)", "glColor4f(1, 1, 1, 1)", "glColor4f(1, 1, 1, 1)", "glColor4f(1, 1, 1, 1)",
                  "glColor4f(1, 1, 1, 1)",
                  // the textured triangle: linear filters now, culling on, half alpha
                  "glEnable(0xDE1)", "glBindTexture(0xDE1, 9)", "glTexParameteri(0xDE1, 0x2801, 0x2601)",
                  "glTexParameteri(0xDE1, 0x2800, 0x2601)", "glEnable(0xB44)", "glBegin(0x4)",
                  "glColor4f(1, 1, 1, 0.5)", "glColor4f(1, 1, 1, 0.5)", "glColor4f(1, 1, 1, 0.5)",
                  // the flat triangle: no texturing, culling on, its colour at every corner
                  "glDisable(0xDE1)", "glEnable(0xB44)", "glBegin(0x4)", "glColor4f(1, 0, 0, 0.5)",
                  "glColor4f(1, 0, 0, 0.5)", "glColor4f(1, 0, 0, 0.5)"}));
    EXPECT_EQ(Vertices()[6], "glVertex3f(4, 0, 0.25)");
}

TEST_F(Drawing, ViewMultipliesOntoTheProjectionAndRestoresTheMode)
{
    Application->SetView(400, 200);
    Application->SetView(0, 10); // would be an infinite scale: ignored
    EXPECT_EQ(Only({"glMatrixMode", "glTranslatef", "glScalef", "glLoadIdentity"}),
              (std::vector<std::string>{"glMatrixMode(0x1701)", "glTranslatef(-1, 1, 0)", "glScalef(0.005, -0.01, 1)",
                                        "glMatrixMode(0x1700)"}));
}

TEST_F(Drawing, ClearBothBuffersAndPresentReportsTheSwap)
{
    Application->SetClearColour(1.0f, 0.0f, 0.5f);
    Application->Clear();
    EXPECT_TRUE(Application->Present());
    EXPECT_EQ(Only({"glClear", "SwapBuffers"}),
              (std::vector<std::string>{"glClearColor(1, 0, 0.5, 1)", "glClear(0x4100)", "SwapBuffers"}));
}
