// The real game on the display, as players see it: the playing screen, keys, a whole game to a
// win, and a missing data file.
#include "tests/e2e/CExpectedScreen.h"
#include "tests/e2e/CProgram.h"
#include "tests/e2e/CX11Display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

using namespace std::chrono_literals;

namespace
{
constexpr auto Patience = 60s;

std::filesystem::path GamePath()
{
    const char* path = std::getenv("VANTOR_GAME");
    return path != nullptr ? path : "";
}

// The state shown in the HUD, as read back from the screen.
struct SShown
{
    int Favour = 0;
    int RedLumber = 0;
    int RedEfficiency = 0;
    int BlueLumber = 0;
    int BlueEfficiency = 0;
};

class Game : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(GamePath().empty()) << "VANTOR_GAME names the game's program";
        Expected.emplace((GamePath().parent_path() / "Data").string());
    }

    // The value among the candidates whose text, alone on the background, matches that line of the
    // screen.
    std::optional<int> ReadLine(const CExpectedScreen::TPixels& screen, int x, int y, int low, int high,
                                const std::function<std::string(int)>& text) const
    {
        for (int value = low; value <= high; ++value)
            if (Expected->Shows(screen, text(value), x, y, 200))
                return value;
        return std::nullopt;
    }

    // What the screen shows, when it is exactly a playing screen without the offering.
    std::optional<SShown> Read(const CExpectedScreen::TPixels& screen) const
    {
        const auto favour = ReadLine(screen, 320, 20, -120, 120, [](int v) { return "Favour: " + std::to_string(v) + "%"; });
        const auto lumber = [](int v) { return "Lumber: " + std::to_string(v); };
        const auto efficiency = [](int v) { return "Efficiency: " + std::to_string(v) + "%"; };
        const auto redLumber = ReadLine(screen, 20, 65, 0, 200, lumber);
        const auto redEfficiency = ReadLine(screen, 20, 155, 0, 300, efficiency);
        const auto blueLumber = ReadLine(screen, 550, 65, 0, 200, lumber);
        const auto blueEfficiency = ReadLine(screen, 550, 155, 0, 300, efficiency);
        if (!favour || !redLumber || !redEfficiency || !blueLumber || !blueEfficiency)
            return std::nullopt;
        const SShown shown{*favour, *redLumber, *redEfficiency, *blueLumber, *blueEfficiency};
        if (screen != Expected->Playing(HudTexts(shown.Favour, shown.RedLumber, shown.RedEfficiency, shown.BlueLumber,
                                                 shown.BlueEfficiency, false)))
            return std::nullopt;
        return shown;
    }

    // Captures until the screen shows a state that passes the test, or the time is up.
    std::optional<SShown> WaitForShown(const CX11Display::SWindow& window, const std::function<bool(const SShown&)>& test,
                                       std::chrono::seconds patience = Patience, bool report = true)
    {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        CExpectedScreen::TPixels screen;
        do
        {
            screen = Display.Capture(window);
            if (const auto shown = Read(screen); shown && test(*shown))
                return shown;
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < deadline);
        if (!report)
            return std::nullopt;
        // What was on the screen instead, to look at.
        std::ofstream file("/tmp/vantor-game-last-screen.ppm", std::ios::binary);
        file << "P6\n800 600\n255\n";
        for (const std::uint32_t pixel : screen)
        {
            const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8), static_cast<char>(pixel)};
            file.write(rgb, 3);
        }
        ADD_FAILURE() << "the last screen seen is in /tmp/vantor-game-last-screen.ppm";
        return std::nullopt;
    }

    // Types a key until its effect shows. Under a loaded Wine a key typed while the window is
    // still taking the focus is now and then lost; typing it again is safe, as the lost one
    // changed nothing, and a key that never works still fails.
    std::optional<SShown> Press(const CX11Display::SWindow& window, const std::string& key,
                                const std::function<bool(const SShown&)>& test)
    {
        for (int attempt = 0; attempt < 3; ++attempt)
        {
            Display.Type(window, "key " + key);
            if (const auto shown = WaitForShown(window, test, Patience / 4, false))
                return shown;
        }
        return WaitForShown(window, test, std::chrono::seconds(1));
    }

    CX11Display Display;
    std::optional<CExpectedScreen> Expected;
};
} // namespace

TEST_F(Game, PlayingScreenAndKeysMoveTheRightPlayer)
{
    CProgram game(GamePath(), {});
    const auto window = Display.WaitForWindow("Arborath", Patience);
    ASSERT_TRUE(window) << game.Output() << game.Errors();
    ASSERT_EQ(window->Width, 800);
    ASSERT_EQ(window->Height, 600);

    // Background, "Favour: 0%", both columns; the lumber grows with time, the same for both.
    auto shown = WaitForShown(*window, [](const SShown& s) {
        return s.Favour == 0 && s.RedEfficiency == 100 && s.BlueEfficiency == 100 && s.RedLumber == s.BlueLumber;
    });
    ASSERT_TRUE(shown) << "no playing screen seen";
    EXPECT_GE(shown->RedLumber, 20);

    // A: red sacrifices, five lumber for two points of favour towards red.
    shown = Press(*window, "a", [](const SShown& s) { return s.Favour == -2; });
    ASSERT_TRUE(shown) << "the favour did not move towards red";
    EXPECT_EQ(shown->RedLumber, shown->BlueLumber - 5);
    EXPECT_EQ(shown->BlueEfficiency, 100);

    // L: blue trades, five lumber for four points of efficiency.
    shown = Press(*window, "l", [](const SShown& s) { return s.BlueEfficiency == 104; });
    ASSERT_TRUE(shown) << "blue's efficiency did not rise";
    EXPECT_EQ(shown->RedEfficiency, 100);
    EXPECT_EQ(shown->Favour, -2);

    // S and K: red trades, blue sacrifices, and the favour is back to (truncated) 0.
    ASSERT_TRUE(Press(*window, "s", [](const SShown& s) { return s.RedEfficiency == 104; }));
    ASSERT_TRUE(Press(*window, "k", [](const SShown& s) { return s.Favour == 0 && s.BlueEfficiency == 104; }));

    Display.Close(*window);
    EXPECT_EQ(game.WaitForExit(Patience), 0);
}

namespace
{
class WholeGame : public Game, public ::testing::WithParamInterface<const char*>
{
};
} // namespace

// Holding a player's sacrifice key plays a whole game: auto-repeat spends every five lumber, the
// favour compounds, and that side's picture appears. That it then stays, with the rules stopped, is
// the game layer's to show.
TEST_P(WholeGame, EndsInTheWinnersPicture)
{
    const std::string key = GetParam();
    const auto winner = Expected->Picture(key == "a" ? "RedWins.bmp" : "BlueWins.bmp");
    CProgram game(GamePath(), {});
    const auto window = Display.WaitForWindow("Arborath", Patience);
    ASSERT_TRUE(window) << game.Output() << game.Errors();
    ASSERT_TRUE(WaitForShown(*window, [](const SShown&) { return true; }));

    Display.Type(*window, "keydown " + key);
    const auto deadline = std::chrono::steady_clock::now() + 240s;
    bool won = false;
    while (!won && std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(250ms);
        won = Display.Capture(*window) == winner;
    }
    Display.Type(*window, "keyup " + key);
    ASSERT_TRUE(won) << "the winner's picture never appeared within 240 s";
    Display.Close(*window);
    EXPECT_EQ(game.WaitForExit(Patience), 0);
}

INSTANTIATE_TEST_SUITE_P(, WholeGame, ::testing::Values("a", "k"),
                         [](const auto& info) { return std::string(info.param) == "a" ? "Red" : "Blue"; });

// One file per build (VANTOR_MISSING_FILE): the game layer shows that each of the four is loaded.
TEST_F(Game, MissingDataFileEndsInOneBoxNamingIt)
{
    const char* missing = std::getenv("VANTOR_MISSING_FILE");
    ASSERT_NE(missing, nullptr) << "VANTOR_MISSING_FILE names the data file to leave out";
    // A copy of the game beside a data folder that lacks the file.
    const auto folder = std::filesystem::temp_directory_path() / ("vantor-missing-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "Data");
    std::filesystem::copy(GamePath(), folder / GamePath().filename());
    for (const auto& file : std::filesystem::directory_iterator(GamePath().parent_path() / "Data"))
        if (file.path().filename() != missing)
            std::filesystem::copy(file.path(), folder / "Data" / file.path().filename());

    CProgram game(folder / GamePath().filename(), {});
    const auto box = Display.WaitForWindow("Error", Patience);
    ASSERT_TRUE(box) << game.Output() << game.Errors();
    EXPECT_TRUE(game.WaitForError(std::string("Image file not found: ") + missing, Patience))
        << game.Errors();
    EXPECT_EQ(game.Errors().find("Fatal error"), std::string::npos) << game.Errors();
    Display.Close(*box);
    EXPECT_EQ(game.WaitForExit(Patience), 0);
    EXPECT_FALSE(Display.WaitForWindow("Error", 1s)) << "a second box";
    std::filesystem::remove_all(folder);
}
