// The release artefacts started as a player starts them: the Windows program from the unpacked
// zip (under Wine), the Linux one through the launcher of the unpacked Debian package. The
// release checks (tests/release/check.sh) unpack them and name the programs; otherwise these skip.
#include "tests/e2e/CExpectedScreen.h"
#include "tests/e2e/CProgram.h"
#include "tests/e2e/CX11Display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace std::chrono_literals;

namespace
{
constexpr auto Patience = 60s;

std::filesystem::path Given(const char* variable)
{
    const char* path = std::getenv(variable);
    return path != nullptr ? path : "";
}

// Starts the program, waits for the playing screen drawn from the data folder, closes the window.
void StartsAndCloses(const std::filesystem::path& program, const std::filesystem::path& data)
{
    CX11Display display;
    const CExpectedScreen expected(data.string());
    CProgram game(program, {});
    const auto window = display.WaitForWindow("Arborath", Patience);
    ASSERT_TRUE(window) << game.Output() << game.Errors();
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    bool drawn = false;
    while (!drawn && std::chrono::steady_clock::now() < deadline)
        drawn = expected.Shows(display.Capture(*window), "Favour: 0%", 320, 20, 200);
    EXPECT_TRUE(drawn) << "no playing screen from " << data;
    display.Close(*window);
    EXPECT_EQ(game.WaitForExit(Patience), 0) << game.Errors();
}
} // namespace

TEST(Release, ZipStartsUnderWineFromWhereItWasUnpackedAndNamesAMissingPicture)
{
    const auto exe = Given("VANTOR_RELEASE_EXE");
    if (exe.empty())
        GTEST_SKIP() << "VANTOR_RELEASE_EXE names Arborath.exe in an unpacked zip";
    setenv("VANTOR_LAUNCHER", "wine", 1);
    StartsAndCloses(exe, exe.parent_path() / "Data");

    // The same copy without its background: the usual box, then exit code 0.
    std::filesystem::remove(exe.parent_path() / "Data" / "Background.bmp");
    CX11Display display;
    CProgram game(exe, {});
    const auto box = display.WaitForWindow("Error", Patience);
    ASSERT_TRUE(box) << game.Output() << game.Errors();
    EXPECT_NE(game.Errors().find("Image file not found: Background.bmp"), std::string::npos) << game.Errors();
    display.Close(*box);
    EXPECT_EQ(game.WaitForExit(Patience), 0);
}

TEST(Release, PackageLauncherStartsTheGameWhereverTheTreeLies)
{
    const auto root = Given("VANTOR_RELEASE_ROOT");
    if (root.empty())
        GTEST_SKIP() << "VANTOR_RELEASE_ROOT names a folder the Debian package was unpacked into";
    unsetenv("VANTOR_LAUNCHER");
    StartsAndCloses(root / "usr/games/arborath", root / "usr/lib/arborath/Data");
}
