// The real host and backend with a test game (TestProgram.cpp), on the display, as a player starts it.
#include "tests/e2e/Drivers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace
{
std::string ProgramPath()
{
    const char* path = std::getenv("VANTOR_PROGRAM");
    return path != nullptr ? path : "";
}

int Number(const std::string& line, const std::string& key)
{
    const auto at = line.find(key + "=");
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + key.size() + 1);
}

class Integration : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(ProgramPath().empty()) << "VANTOR_PROGRAM names the program under test"; }

    CX11Display Display;
};
} // namespace

TEST_F(Integration, WindowIsCentredWithItsClientSizeAndFramesRunUntilClosed)
{
    CProgram program(ProgramPath(), {"VANTOR_TEST_MODE=frames"});
    const auto window = Display.WaitForWindow("Vantor test");
    EXPECT_EQ(window.Width, 800);
    EXPECT_EQ(window.Height, 600);
    // The first frame follows StartFrameTimer at once, not a period later: it comes sooner than
    // half the mean period of the ten frames after it, whatever the load stretches them to.
    const int first = Number(program.WaitForLine("frame 1 after="), "after");
    const int eleventh = Number(program.WaitForLine("frame 11 after="), "after");
    EXPECT_LT(first, (eleventh - first) / 20) << first << " us, then " << eleventh << " us";

    if (CProgram::DefaultLauncher().find("wine") != std::string::npos)
    {
        // The system's own view: outer size from the frame, horizontal centre, and the vertical rule
        // that uses the adjusted bottom edge (client height plus the lower frame).
        const auto geometry = program.WaitForLine("geometry ");
        long left = 0, top = 0, right = 0, bottom = 0, clientWidth = 0, clientHeight = 0, originX = 0, originY = 0;
        int screenWidth = 0, screenHeight = 0;
        unsigned long style = 0, exStyle = 0;
        char caption[64] = {};
        ASSERT_EQ(std::sscanf(geometry.c_str(),
                              "geometry window=%ld,%ld,%ld,%ld client=%ld,%ld origin=%ld,%ld screen=%d,%d "
                              "style=0x%lX exstyle=0x%lX caption=%63[^\n]",
                              &left, &top, &right, &bottom, &clientWidth, &clientHeight, &originX, &originY,
                              &screenWidth, &screenHeight, &style, &exStyle, caption),
                  13)
            << geometry;
        EXPECT_EQ(clientWidth, 800);
        EXPECT_EQ(clientHeight, 600);
        // The system adds WS_CLIPSIBLINGS to every top-level window; the frame must not be sizeable.
        EXPECT_EQ(style & 0x90CB0000ul, 0x90CB0000ul);
        EXPECT_EQ(style & 0x00040000ul, 0ul);
        EXPECT_NE(exStyle & 0x00040000ul, 0ul); // WS_EX_APPWINDOW
        EXPECT_STREQ(caption, "Vantor test");
        EXPECT_GT(right - left, 800);
        EXPECT_EQ(left, (screenWidth - (right - left)) / 2);
        EXPECT_EQ(top, (screenHeight - (bottom - originY)) / 2);
    }
    else
    {
        EXPECT_EQ(window.X, (Display.ScreenWidth() - 800) / 2);
        EXPECT_EQ(window.Y, (Display.ScreenHeight() - 600) / 2);
    }

    program.WaitForLine("frames=100");
    Display.Close(window);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_GE(Number(program.WaitForLine("destroyed frames="), "frames"), 100);
}

TEST_F(Integration, GameThatNeverStartsTheTimerGetsEventsButNoFrame)
{
    CProgram program(ProgramPath(), {"VANTOR_TEST_MODE=nostart"});
    const auto window = Display.WaitForWindow("Vantor test");
    program.WaitForLine("start ");
    Display.Type(window, "key a");
    program.WaitForLine("key up 15");
    Display.Close(window);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_EQ(program.Lines("destroyed "), std::vector<std::string>{"destroyed frames=0"});
}

TEST_F(Integration, KeysReachEventsAndBothQueries)
{
    CProgram program(ProgramPath(), {"VANTOR_TEST_MODE=input"});
    const auto window = Display.WaitForWindow("Vantor test");
    program.WaitForLine("frame 5 pressed");
    // The (pressed, down) pairs of the frames reported after the first key-down, once two more
    // frames than now have been reported.
    const auto framesAfterKeyDown = [&] {
        int frame = 0;
        std::sscanf(program.Lines("frame ").back().c_str(), "frame %d", &frame);
        program.WaitForLine("frame " + std::to_string(frame + 2) + " pressed");
        std::vector<std::pair<int, int>> frames;
        bool seen = false;
        for (const auto& line : program.Lines())
        {
            int pressed = 0, down = 0;
            seen = seen || line == "key down 15";
            if (seen && std::sscanf(line.c_str(), "frame %d pressed=%d down=%d", &frame, &pressed, &down) == 3)
                frames.emplace_back(pressed, down);
        }
        return frames;
    };

    // Pressed and released at once: the frame after counts it as pressed and as down, the next
    // frame as neither.
    Display.Type(window, "keydown a keyup a");
    program.WaitForLine("key up 15");
    auto frames = framesAfterKeyDown();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames.front(), (std::pair{1, 1}));
    EXPECT_EQ(frames.back(), (std::pair{0, 0}));
    EXPECT_EQ(std::count(frames.begin(), frames.end(), std::pair{1, 0}), 0) << "pressed must imply down";

    // Held past the keyboard's repeat delay: repeats are presses too, and the key is down meanwhile.
    Display.Type(window, "keydown a sleep 1.2 keyup a");
    program.WaitForLine("key up 15", 2);
    frames = framesAfterKeyDown();
    EXPECT_GE(program.Lines("key down 15").size(), 3u) << "auto-repeat gives more key-down events";
    EXPECT_EQ(program.Lines("key up 15").size(), 2u);
    EXPECT_GE(std::count(frames.begin(), frames.end(), std::pair{1, 1}), 3);
    EXPECT_GE(std::count(frames.begin(), frames.end(), std::pair{0, 1}), 10) << "held between the repeats";
    Display.Close(window);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(Integration, ErrorInAFrameShowsTheFatalErrorDescription)
{
    CProgram program(ProgramPath(), {"VANTOR_TEST_MODE=throwinframe"});
    const auto box = Display.WaitForWindow("Error");
    EXPECT_NE(program.Errors().find("Fatal error: std::runtime_error: thrown in frame"), std::string::npos);
    Display.Close(box);
    EXPECT_EQ(program.WaitForExit(), 0);
}

// Both builds draw the same frame, pixel for pixel.
TEST(BothBuilds, DrawTheSameTestScene)
{
    const CX11Display display;
    const auto scene = [&](const char* variable, const std::string& launcher) {
        const char* path = std::getenv(variable);
        if (path == nullptr)
            throw std::runtime_error(std::string(variable) + " names the test program of a build");
        CProgram program(path, {"VANTOR_TEST_MODE=scene"}, launcher);
        const auto window = display.WaitForWindow("Vantor test");
        program.WaitForLine("scene drawn");
        // Drawn, not blank (the clear colour shows through the picture's transparent squares only,
        // its top-left texel one of them), and the same in two captures running.
        TPixels last;
        auto pixels = Wait("the scene, drawn and holding still", [&]() -> std::optional<TPixels> {
            auto now = display.Capture(window);
            const auto cleared = now.size() == 800u * 600u ? std::count(now.begin(), now.end(), now[2 * 800 + 2]) : 0;
            const bool drawn = cleared > 10000 && cleared < 800 * 600 / 2;
            return drawn && std::exchange(last, now) == now ? std::optional(now) : std::nullopt;
        });
        display.Close(window);
        EXPECT_EQ(program.WaitForExit(), 0);
        return pixels;
    };
    const auto onLinux = scene("VANTOR_LINUX_PROGRAM", "");
    const auto onWindows = scene("VANTOR_WINDOWS_PROGRAM", "wine");
    if (onLinux != onWindows)
    {
        WritePpm("/tmp/vantor-scene-linux.ppm", onLinux, 800);
        WritePpm("/tmp/vantor-scene-windows.ppm", onWindows, 800);
        ADD_FAILURE() << "the builds differ: see /tmp/vantor-scene-linux.ppm and /tmp/vantor-scene-windows.ppm";
    }
}
