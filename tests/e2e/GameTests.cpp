// The real game on the display as players see it (a whole game to a win, a missing data file), the
// guide's first game, and the release artefacts started from where they unpack.
#include <gtest/gtest.h>
// After GoogleTest, whose names Xlib's macros (None, Bool) would break.
#include "tests/e2e/Drivers.h"

#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <unistd.h>

namespace
{
std::filesystem::path Given(const char* variable)
{
    const char* path = std::getenv(variable);
    return path != nullptr ? path : "";
}

// A picture as the game draws it, 1:1 from the top-left corner. The game's own files: 24-bit,
// bottom-up, BITMAPINFOHEADER.
TPixels Picture(const std::string& path)
{
    const std::string file = ReadFile(path);
    const auto at = [&](std::size_t offset, std::size_t bytes = 4) {
        std::uint32_t value = 0;
        for (std::size_t i = bytes; i-- > 0;)
            value = value << 8 | static_cast<std::uint8_t>(file.at(offset + i));
        return value;
    };
    if (file.size() < 54 || file[0] != 'B' || file[28] != 24)
        throw std::runtime_error("not a 24-bit BMP: " + path);
    TPixels pixels;
    for (std::size_t y = at(22); y-- > 0;)
        for (std::size_t x = 0; x < at(18); ++x)
            pixels.push_back(at(at(10) + y * ((at(18) * 3 + 3) / 4 * 4) + x * 3, 3));
    return pixels;
}

// The game's playing screen, as far as a test sees it without reading its texts: the background
// below the HUD, and the favour's line (14 rows from (320, 20)), written on and changing with the favour.
std::optional<TPixels> FavourLine(const TPixels& screen, const TPixels& background)
{
    const auto line = [](const TPixels& from) {
        TPixels rows;
        for (int row = 20; row < 34; ++row)
            rows.insert(rows.end(), from.begin() + row * 800 + 320, from.begin() + row * 800 + 520);
        return rows;
    };
    if (screen.size() != background.size() || !std::equal(background.begin() + 300 * 800, background.end(),
                                                          screen.begin() + 300 * 800) || line(screen) == line(background))
        return std::nullopt;
    return line(screen);
}

class WholeGame : public ::testing::TestWithParam<const char*>
{
};
} // namespace

// Holding a player's sacrifice key plays a whole game: auto-repeat spends every five lumber, the
// favour compounds, and that side's picture appears. That it then stays, with the rules stopped, is
// the game layer's to show; so are the rules of each key.
TEST_P(WholeGame, EndsInTheWinnersPicture)
{
    const std::string key = GetParam(), data = Given("VANTOR_GAME").parent_path() / "Data";
    const auto winner = Picture(data + (key == "a" ? "/RedWins.bmp" : "/BlueWins.bmp"));
    const auto background = Picture(data + "/Background.bmp");
    const CX11Display display;
    CProgram game(Given("VANTOR_GAME"));
    const auto window = display.WaitForWindow("Arborath");
    const auto even = Wait("the playing screen", [&] { return FavourLine(display.Capture(window), background); });
    // Under a loaded Wine a key typed while the window is still taking the focus is now and then
    // lost; typing it again is safe, as the lost one changed nothing, and a key that never works still fails.
    bool moved = false;
    for (int attempt = 0; attempt < 3 && !moved; ++attempt)
    {
        display.Type(window, "keydown " + key);
        moved = Poll(Patience / 4, [&] {
            const auto line = FavourLine(display.Capture(window), background);
            return line && line != even;
        });
    }
    // The rules take some 50 s at 50 frames a second, however fast the key repeats.
    const bool won = moved && Poll(240s, [&] { return display.Capture(window) == winner; });
    display.Type(window, "keyup " + key); // before anything can fail: the display outlives the case
    ASSERT_TRUE(moved) << WaitedInVain("the favour to move", Patience / 4 * 3);
    ASSERT_TRUE(won) << WaitedInVain("the winner's picture", 240s);
    display.Close(window);
    EXPECT_EQ(game.WaitForExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(, WholeGame, ::testing::Values("a", "k"),
                         [](const auto& info) { return std::string(info.param) == "a" ? "Red" : "Blue"; });

// One file per build (VANTOR_MISSING_FILE): the game layer shows that each of the four is loaded.
TEST(Game, MissingDataFileEndsInOneBoxNamingIt)
{
    const CX11Display display;
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
    const auto box = display.WaitForWindow("Error");
    const std::string message = "Image file not found: " + missing;
    Wait(message, [&] { return program.Errors().find(message) != std::string::npos; });
    EXPECT_EQ(program.Errors().find("Fatal error"), std::string::npos) << program.Errors();
    display.Close(box);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_FALSE(Poll(1s, [&] { return display.Find("Error"); })) << "a second box";
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
        CProgram game(program, {}, launcher);
        const auto window = display.WaitForWindow("Arborath");
        const auto background = Picture(data / "Background.bmp");
        Wait("the playing screen drawn from " + data.string(),
             [&] { return FavourLine(display.Capture(window), background); });
        display.Close(window);
        EXPECT_EQ(game.WaitForExit(), 0) << game.Errors();
    }
}
