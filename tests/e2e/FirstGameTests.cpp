// The first game of the guide for game authors, built from the guide's text: its window shows the
// picture on the background, and Space changes the background.
#include "tests/e2e/CProgram.h"
#include "tests/e2e/CX11Display.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

using namespace std::chrono_literals;

TEST(FirstGame, ShowsItsPictureAndAnswersSpace)
{
    const char* path = std::getenv("VANTOR_FIRST_GAME");
    ASSERT_NE(path, nullptr) << "VANTOR_FIRST_GAME names the guide's first game";
    CX11Display display;
    CProgram game(path, {});
    const auto window = display.WaitForWindow("My first game", 60s);
    ASSERT_TRUE(window) << "no window titled \"My first game\" within 60 s";
    ASSERT_EQ(window->Width, 640);

    // The background, at a corner, until it is the colour the game clears to.
    const auto corner = [&] { return display.Capture(*window)[10 * 640 + 10]; };
    const auto waitFor = [&](std::uint32_t colour) {
        for (const auto deadline = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < deadline;)
            if (corner() == colour)
                return true;
        return false;
    };
    ASSERT_TRUE(waitFor(0x000066)) << "the background never became dark blue: " << std::hex << corner();
    EXPECT_NE(display.Capture(*window)[240 * 640 + 320], 0x000066u) << "no picture in the middle";

    display.Type(*window, "key space");
    EXPECT_TRUE(waitFor(0x006600)) << "Space did not turn the background green: " << std::hex << corner();

    display.Close(*window);
    EXPECT_EQ(game.WaitForExit(20s), 0);
}
