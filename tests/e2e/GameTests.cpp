// The real game on the display as players see it (the playing screen, keys, a whole game to a win, a
// missing data file), the guide's first game, and the release artefacts started from where they unpack.
#include "tests/e2e/Drivers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace
{
std::filesystem::path Given(const char* variable)
{
    const char* path = std::getenv(variable);
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
using TTest = std::function<bool(const SShown&)>;

class Game : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Given("VANTOR_GAME").empty()) << "VANTOR_GAME names the game's program";
        Expected.emplace((Given("VANTOR_GAME").parent_path() / "Data").string());
    }

    // What the screen shows, when it is exactly a playing screen without the offering: each HUD
    // value is the candidate whose text, alone on the background, matches its line.
    std::optional<SShown> Read(const TPixels& screen) const
    {
        const auto value = [&](int x, int y, int high, const char* prefix, const char* suffix) -> std::optional<int> {
            for (int v = -high; v <= high; ++v)
                if (Expected->Shows(screen, prefix + std::to_string(v) + suffix, x, y, 200))
                    return v;
            return std::nullopt;
        };
        const auto favour = value(320, 20, 120, "Favour: ", "%");
        const auto redLumber = value(20, 65, 200, "Lumber: ", "");
        const auto redEfficiency = value(20, 155, 300, "Efficiency: ", "%");
        const auto blueLumber = value(550, 65, 200, "Lumber: ", "");
        const auto blueEfficiency = value(550, 155, 300, "Efficiency: ", "%");
        if (!favour || !redLumber || !redEfficiency || !blueLumber || !blueEfficiency ||
            screen != Expected->Playing(HudTexts(*favour, *redLumber, *redEfficiency, *blueLumber, *blueEfficiency)))
            return std::nullopt;
        return SShown{*favour, *redLumber, *redEfficiency, *blueLumber, *blueEfficiency};
    }

    std::optional<SShown> Look(const CX11Display::SWindow& window, const TTest& test)
    {
        LastScreen = Display.Capture(window);
        const auto shown = Read(LastScreen);
        return shown && test(*shown) ? shown : std::nullopt;
    }

    SShown WaitForShown(const CX11Display::SWindow& window, const std::string& what, const TTest& test,
                        std::chrono::milliseconds timeout = Patience)
    {
        if (const auto shown = Poll(timeout, [&] { return Look(window, test); }))
            return *shown;
        WritePpm("/tmp/vantor-game-last-screen.ppm", LastScreen, 800);
        throw std::runtime_error(WaitedInVain(what + " (the last screen seen: /tmp/vantor-game-last-screen.ppm)", timeout));
    }

    // Types a key until its effect shows. Under a loaded Wine a key typed while the window is
    // still taking the focus is now and then lost; typing it again is safe, as the lost one
    // changed nothing, and a key that never works still fails.
    SShown Press(const CX11Display::SWindow& window, const std::string& key, const std::string& what, const TTest& test)
    {
        for (int attempt = 0; attempt < 3; ++attempt)
        {
            Display.Type(window, "key " + key);
            if (const auto shown = Poll(Patience / 4, [&] { return Look(window, test); }))
                return *shown;
        }
        return WaitForShown(window, what, test, 1s);
    }

    CX11Display Display;
    std::optional<CExpectedScreen> Expected;
    TPixels LastScreen;
};

class WholeGame : public Game, public ::testing::WithParamInterface<const char*>
{
};
} // namespace

TEST_F(Game, PlayingScreenAndKeysMoveTheRightPlayer)
{
    CProgram game(Given("VANTOR_GAME"));
    const auto window = Display.WaitForWindow("Arborath");
    ASSERT_EQ(window.Width, 800);
    ASSERT_EQ(window.Height, 600);

    // Background, "Favour: 0%", both columns; the lumber grows with time, the same for both.
    auto shown = WaitForShown(window, "the playing screen at the start", [](const SShown& s) {
        return s.Favour == 0 && s.RedEfficiency == 100 && s.BlueEfficiency == 100 && s.RedLumber == s.BlueLumber;
    });
    EXPECT_GE(shown.RedLumber, 20);

    // A: red sacrifices, five lumber for two points of favour towards red.
    shown = Press(window, "a", "the favour moved towards red", [](const SShown& s) { return s.Favour == -2; });
    EXPECT_EQ(shown.RedLumber, shown.BlueLumber - 5);
    EXPECT_EQ(shown.BlueEfficiency, 100);
    // L: blue trades, five lumber for four points of efficiency.
    shown = Press(window, "l", "blue's efficiency up", [](const SShown& s) { return s.BlueEfficiency == 104; });
    EXPECT_EQ(shown.RedEfficiency, 100);
    EXPECT_EQ(shown.Favour, -2);
    // S and K: red trades, blue sacrifices, and the favour is back to (truncated) 0.
    Press(window, "s", "red's efficiency up", [](const SShown& s) { return s.RedEfficiency == 104; });
    Press(window, "k", "the favour back at 0", [](const SShown& s) { return s.Favour == 0 && s.BlueEfficiency == 104; });
    Display.Close(window);
    EXPECT_EQ(game.WaitForExit(), 0);
}

// Holding a player's sacrifice key plays a whole game: auto-repeat spends every five lumber, the
// favour compounds, and that side's picture appears. That it then stays, with the rules stopped, is
// the game layer's to show.
TEST_P(WholeGame, EndsInTheWinnersPicture)
{
    const std::string key = GetParam();
    const auto winner = Expected->Picture(key == "a" ? "RedWins.bmp" : "BlueWins.bmp");
    CProgram game(Given("VANTOR_GAME"));
    const auto window = Display.WaitForWindow("Arborath");
    WaitForShown(window, "the playing screen", [](const SShown&) { return true; });
    Display.Type(window, "keydown " + key);
    // The rules take some 50 s at 50 frames a second, whatever the key's repeat rate.
    const bool won = Poll(240s, [&] { return Display.Capture(window) == winner; });
    Display.Type(window, "keyup " + key); // before anything can fail: the display outlives the case
    ASSERT_TRUE(won) << WaitedInVain("the winner's picture", 240s);
    Display.Close(window);
    EXPECT_EQ(game.WaitForExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(, WholeGame, ::testing::Values("a", "k"),
                         [](const auto& info) { return std::string(info.param) == "a" ? "Red" : "Blue"; });

// One file per build (VANTOR_MISSING_FILE): the game layer shows that each of the four is loaded.
TEST_F(Game, MissingDataFileEndsInOneBoxNamingIt)
{
    const std::string missing = Given("VANTOR_MISSING_FILE");
    ASSERT_FALSE(missing.empty()) << "VANTOR_MISSING_FILE names the data file to leave out";
    // A copy of the game beside a data folder that lacks the file.
    const auto game = Given("VANTOR_GAME");
    const auto folder = std::filesystem::temp_directory_path() / ("vantor-missing-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "Data");
    std::filesystem::copy(game, folder / game.filename());
    for (const auto& file : std::filesystem::directory_iterator(game.parent_path() / "Data"))
        if (file.path().filename() != missing)
            std::filesystem::copy(file.path(), folder / "Data" / file.path().filename());

    CProgram program(folder / game.filename());
    const auto box = Display.WaitForWindow("Error");
    Wait("the error naming the file", [&] { return program.Errors().find("Image file not found: " + missing) != std::string::npos; });
    EXPECT_EQ(program.Errors().find("Fatal error"), std::string::npos) << program.Errors();
    Display.Close(box);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_FALSE(Poll(1s, [&] { return Display.Find("Error"); })) << "a second box";
    std::filesystem::remove_all(folder);
}

// Built from the guide's text: its window shows the picture on the background, and Space changes the background.
TEST(FirstGame, ShowsItsPictureAndAnswersSpace)
{
    ASSERT_FALSE(Given("VANTOR_FIRST_GAME").empty()) << "VANTOR_FIRST_GAME names the guide's first game";
    const CX11Display display;
    CProgram game(Given("VANTOR_FIRST_GAME"));
    const auto window = display.WaitForWindow("My first game");
    ASSERT_EQ(window.Width, 640);
    const auto background = [&](std::uint32_t colour) {
        return [&, colour] {
            const auto pixels = display.Capture(window);
            return pixels.size() == 640u * 480u && pixels[10 * 640 + 10] == colour;
        };
    };
    Wait("a dark blue background", background(0x000066));
    EXPECT_NE(display.Capture(window).at(240 * 640 + 320), 0x000066u) << "no picture in the middle";
    display.Type(window, "key space");
    Wait("Space to turn the background green", background(0x006600));
    display.Close(window);
    EXPECT_EQ(game.WaitForExit(), 0);
}

// The release artefacts, which tests/release/check.sh unpacks and names: the Windows program from
// the unpacked zip (under Wine), the Linux one through the launcher of the unpacked Debian package.
TEST(Release, BothArtefactsStartFromWhereTheyWereUnpacked)
{
    const auto exe = Given("VANTOR_RELEASE_EXE");
    const auto root = Given("VANTOR_RELEASE_ROOT");
    ASSERT_FALSE(exe.empty() || root.empty()) << "VANTOR_RELEASE_EXE and VANTOR_RELEASE_ROOT name the unpacked artefacts";
    const CX11Display display;
    for (const auto& [program, data, launcher] : {std::tuple{exe, exe.parent_path() / "Data", "wine"},
                                                  std::tuple{root / "usr/games/arborath", root / "usr/lib/arborath/Data", ""}})
    {
        const CExpectedScreen expected(data.string());
        CProgram game(program, {}, launcher);
        const auto window = display.WaitForWindow("Arborath");
        Wait("the playing screen drawn from " + data.string(),
             [&] { return expected.Shows(display.Capture(window), "Favour: 0%", 320, 20, 200); });
        display.Close(window);
        EXPECT_EQ(game.WaitForExit(), 0) << game.Errors();
    }
}
