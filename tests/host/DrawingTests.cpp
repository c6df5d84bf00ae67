// What each primitive switches for itself, which pixels alone would not tell apart; the pictures
// themselves are the real-context tests' (tests/gl).
#include "tests/host/HostTest.h"

using Drawing = HostTest;

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

