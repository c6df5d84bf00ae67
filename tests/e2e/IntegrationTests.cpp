// The real host and backend with a test game, on the display, as a player would start it.
#include "tests/e2e/CProgram.h"
#include "tests/e2e/CX11Display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace
{
constexpr auto Patience = 60s; // Wine's first start in a new prefix is slow on a loaded machine

std::string ProgramPath()
{
    const char* path = std::getenv("VANTOR_PROGRAM");
    return path != nullptr ? path : "";
}

bool UnderWine()
{
    const char* launcher = std::getenv("VANTOR_LAUNCHER");
    return launcher != nullptr && std::string(launcher).find("wine") != std::string::npos;
}

int Number(const std::string& line, const std::string& key)
{
    const auto at = line.find(key + "=");
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + key.size() + 1);
}
} // namespace

class Integration : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(ProgramPath().empty()) << "VANTOR_PROGRAM names the program under test"; }

    CX11Display Display;
};

TEST_F(Integration, WindowIsCentredWithItsClientSizeAndFramesRunUntilClosed)
{
    CProgram program(ProgramPath(), {{"VANTOR_TEST_MODE", "frames"}});
    const auto window = Display.WaitForWindow("Vantor test", Patience);
    ASSERT_TRUE(window) << program.Output() << program.Errors();
    EXPECT_EQ(window->Width, 800);
    EXPECT_EQ(window->Height, 600);

    const auto first = program.WaitForLine("first frame after=", Patience);
    ASSERT_TRUE(first) << program.Output();
    // The first frame follows StartFrameTimer at once, not a period later: it comes sooner than
    // half the mean period of the ten frames after it, whatever the load stretches them to.
    const auto eleventh = program.WaitForLine("frame 11 after=", Patience);
    ASSERT_TRUE(eleventh) << "no eleventh frame: " << program.Output();
    const int firstAfter = Number(*first, "after");
    EXPECT_LT(firstAfter, (Number(*eleventh, "after") - firstAfter) / 20) << *first << " / " << *eleventh;

    if (UnderWine())
    {
        // The system's own view: outer size from the frame, horizontal centre, and the vertical rule
        // that uses the adjusted bottom edge (client height plus the lower frame).
        const auto geometry = program.WaitForLine("geometry ", Patience);
        ASSERT_TRUE(geometry) << program.Output();
        long left = 0, top = 0, right = 0, bottom = 0, clientWidth = 0, clientHeight = 0, originX = 0, originY = 0;
        int screenWidth = 0, screenHeight = 0;
        unsigned long style = 0, exStyle = 0;
        char caption[64] = {};
        ASSERT_EQ(std::sscanf(geometry->c_str(),
                              "geometry window=%ld,%ld,%ld,%ld client=%ld,%ld origin=%ld,%ld screen=%d,%d "
                              "style=0x%lX exstyle=0x%lX caption=%63[^\n]",
                              &left, &top, &right, &bottom, &clientWidth, &clientHeight, &originX, &originY,
                              &screenWidth, &screenHeight, &style, &exStyle, caption),
                  13)
            << *geometry;
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
        EXPECT_EQ(window->X, (Display.ScreenWidth() - 800) / 2);
        EXPECT_EQ(window->Y, (Display.ScreenHeight() - 600) / 2);
    }

    ASSERT_TRUE(program.WaitForLine("frames=100", Patience)) << program.Output();
    Display.Close(*window);
    EXPECT_EQ(program.WaitForExit(Patience), 0);
    const auto destroyed = program.WaitForLine("destroyed frames=", 1s);
    ASSERT_TRUE(destroyed) << program.Output();
    EXPECT_GE(Number(*destroyed, "frames"), 100);
}

TEST_F(Integration, GameThatNeverStartsTheTimerGetsEventsButNoFrame)
{
    CProgram program(ProgramPath(), {{"VANTOR_TEST_MODE", "nostart"}});
    const auto window = Display.WaitForWindow("Vantor test", Patience);
    ASSERT_TRUE(window) << program.Output() << program.Errors();
    ASSERT_TRUE(program.WaitForLine("start ", Patience)) << "no start: " << program.Output();
    Display.Type(*window, "key a");
    EXPECT_TRUE(program.WaitForLine("key up 15", Patience)) << "no key events: " << program.Output();
    Display.Close(*window);
    EXPECT_EQ(program.WaitForExit(Patience), 0);
    EXPECT_TRUE(program.WaitForLine("destroyed frames=0", 1s)) << program.Output();
}

namespace
{
// The frames reported after the first "key down" line, as (pressed, down) pairs.
std::vector<std::pair<int, int>> FramesAfterKeyDown(const std::string& output)
{
    std::vector<std::pair<int, int>> frames;
    std::istringstream lines(output);
    bool seen = false;
    for (std::string line; std::getline(lines, line);)
    {
        seen = seen || line.rfind("key down 15", 0) == 0;
        int frame = 0, pressed = 0, down = 0;
        if (seen && std::sscanf(line.c_str(), "frame %d pressed=%d down=%d", &frame, &pressed, &down) == 3)
            frames.emplace_back(pressed, down);
    }
    return frames;
}

int CountLines(const std::string& output, const std::string& line);

// Until the program has reported two frames after those already written.
void WaitForTwoMoreFrames(const CProgram& program)
{
    int frames = 0;
    std::istringstream lines(program.Output());
    for (std::string line; std::getline(lines, line);)
        frames += line.rfind("frame ", 0) == 0 ? 1 : 0;
    ASSERT_TRUE(program.WaitForLine("frame ", Patience, frames + 2)) << "no frames after: " << program.Output();
}

int CountLines(const std::string& output, const std::string& line)
{
    int count = 0;
    std::istringstream lines(output);
    for (std::string each; std::getline(lines, each);)
        count += each == line || each == line + "\r" ? 1 : 0;
    return count;
}
} // namespace

TEST_F(Integration, KeysReachEventsAndBothQueries)
{
    CProgram program(ProgramPath(), {{"VANTOR_TEST_MODE", "input"}});
    const auto window = Display.WaitForWindow("Vantor test", Patience);
    ASSERT_TRUE(window) << program.Output() << program.Errors();
    ASSERT_TRUE(program.WaitForLine("frame 5 ", Patience));

    // Pressed and released at once: the frame after counts it as pressed and as down, the next
    // frame as neither.
    Display.Type(*window, "keydown a keyup a");
    ASSERT_TRUE(program.WaitForLine("key up 15", Patience)) << "no key up: " << program.Output();
    WaitForTwoMoreFrames(program);
    auto frames = FramesAfterKeyDown(program.Output());
    ASSERT_GE(frames.size(), 2u) << program.Output();
    EXPECT_EQ(frames.front(), (std::pair{1, 1})) << program.Output();
    EXPECT_EQ(frames.back(), (std::pair{0, 0})) << program.Output();
    EXPECT_EQ(std::count(frames.begin(), frames.end(), std::pair{1, 0}), 0) << "pressed must imply down";

    // Held past the keyboard's repeat delay: repeats are presses too, and the key is down meanwhile.
    Display.Type(*window, "keydown a sleep 1.2 keyup a");
    ASSERT_TRUE(program.WaitForLine("key up 15", Patience, 2)) << "no second key up: " << program.Output();
    WaitForTwoMoreFrames(program);
    const std::string output = program.Output();
    EXPECT_GE(CountLines(output, "key down 15"), 3) << "auto-repeat gives more key-down events";
    EXPECT_EQ(CountLines(output, "key up 15"), 2);
    frames = FramesAfterKeyDown(output);
    EXPECT_GE(std::count(frames.begin(), frames.end(), std::pair{1, 1}), 3);
    EXPECT_GE(std::count(frames.begin(), frames.end(), std::pair{0, 1}), 10) << "held between the repeats";

    Display.Close(*window);
    EXPECT_EQ(program.WaitForExit(Patience), 0);
}

TEST_F(Integration, ErrorInAFrameShowsTheFatalErrorDescription)
{
    CProgram program(ProgramPath(), {{"VANTOR_TEST_MODE", "throwinframe"}});
    const auto box = Display.WaitForWindow("Error", Patience);
    ASSERT_TRUE(box) << program.Output() << program.Errors();
    EXPECT_NE(program.Errors().find("Fatal error: std::runtime_error: thrown in frame"), std::string::npos)
        << program.Errors();
    Display.Close(*box);
    EXPECT_EQ(program.WaitForExit(Patience), 0);
}

namespace
{
void WritePpm(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height)
{
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << width << " " << height << "\n255\n";
    for (const std::uint32_t pixel : pixels)
    {
        const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8), static_cast<char>(pixel)};
        file.write(rgb, 3);
    }
}

// The test scene as the display shows it: pictures, triangles and text.
std::vector<std::uint32_t> SceneOf(CX11Display& display, const std::string& path, const char* launcher)
{
    if (launcher != nullptr)
        setenv("VANTOR_LAUNCHER", launcher, 1);
    else
        unsetenv("VANTOR_LAUNCHER");
    CProgram program(path, {{"VANTOR_TEST_MODE", "scene"}});
    const auto window = display.WaitForWindow("Vantor test", Patience);
    EXPECT_TRUE(window) << program.Output() << program.Errors();
    if (!window || !program.WaitForLine("scene drawn", Patience))
        return {};
    std::this_thread::sleep_for(300ms);
    auto pixels = display.Capture(*window);
    display.Close(*window);
    EXPECT_EQ(program.WaitForExit(Patience), 0);
    return pixels;
}
} // namespace

// Both builds draw the same frame, pixel for pixel. Runs where both programs are given.
TEST_F(Integration, TestSceneIsIdenticalOnBothBuilds)
{
    const char* windowsProgram = std::getenv("VANTOR_WINDOWS_PROGRAM");
    const char* linuxProgram = std::getenv("VANTOR_LINUX_PROGRAM");
    if (windowsProgram == nullptr || linuxProgram == nullptr)
        GTEST_SKIP() << "needs VANTOR_LINUX_PROGRAM and VANTOR_WINDOWS_PROGRAM";
    const std::string launcher = std::getenv("VANTOR_LAUNCHER") != nullptr ? std::getenv("VANTOR_LAUNCHER") : "";
    const auto onLinux = SceneOf(Display, linuxProgram, nullptr);
    const auto onWindows = SceneOf(Display, windowsProgram, "wine");
    setenv("VANTOR_LAUNCHER", launcher.c_str(), 1);
    ASSERT_EQ(onLinux.size(), 800u * 600u);
    ASSERT_EQ(onWindows.size(), 800u * 600u);
    std::size_t different = 0;
    for (std::size_t i = 0; i < onLinux.size(); ++i)
        different += onLinux[i] != onWindows[i] ? 1 : 0;
    if (different != 0)
    {
        WritePpm("/tmp/vantor-scene-linux.ppm", onLinux, 800, 600);
        WritePpm("/tmp/vantor-scene-windows.ppm", onWindows, 800, 600);
    }
    EXPECT_EQ(different, 0u) << "see /tmp/vantor-scene-linux.ppm and /tmp/vantor-scene-windows.ppm";
    // Not a blank frame: the clear colour shows through the picture's transparent squares only (its
    // top-left texel is one of them).
    const auto cleared = std::count(onLinux.begin(), onLinux.end(), onLinux[2 * 800 + 2]);
    EXPECT_GT(cleared, 10000);
    EXPECT_LT(cleared, 800 * 600 / 2);
}
