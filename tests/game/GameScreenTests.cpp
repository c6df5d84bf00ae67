#include "tests/game/GameTest.h"

#include <limits>
#include <memory>
#include <utility>
#include <vector>

using Log = std::vector<std::string>;
using GameScreen = GameTest;

namespace
{
const Log ProjectionReset = {"glMatrixMode(0x1701)", "glLoadIdentity()", "glMatrixMode(0x1700)", "glLoadIdentity()",
                             "SetView(800, 600)"};

Log Joined(Log first, const Log& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
} // namespace

TEST(GameSetUp, FactoryConfiguresTheWindowAndStartLoadsBeforeTheTimer)
{
    CRecordingVantor engine;
    std::unique_ptr<IMainController> game(CreateMainController(&engine));
    auto* controller = dynamic_cast<CMainController*>(game.get());
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(engine.Log, (Log{"SetCaption(\"Arborath\")", "SetSize(800, 600)", "SetUseShaders(false)"}));

    // The new window's notifications may come before Start.
    engine.Log.clear();
    game->FocusGained();
    game->KeyDown(Key::A);
    game->KeyUp(Key::A);
    game->FocusLost();
    EXPECT_TRUE(engine.Log.empty());
    EXPECT_TRUE(controller->GetState() == CMainController::SState{});

    game->Start();
    EXPECT_EQ(engine.Log, (Log{"LoadImage(\"Background.bmp\", false)", "LoadImage(\"RedWins.bmp\", false)",
                               "LoadImage(\"BlueWins.bmp\", false)", "LoadFont(\"Lucida Console_14.bmp\")",
                               "StartFrameTimer()"}));
}

TEST_F(GameScreen, PlayingFrameDrawsTheBackgroundAndElevenTextsInOrder)
{
    State.Favour = -12.7;
    State.RedLumber = 0;
    State.RedHalted = true;
    State.RedHaltFrames = 10;
    State.RedEfficiency = 140;
    State.BlueLumber = 37;
    State.BlueEfficiency = 108;
    State.MysteryReady = true;
    Play();
    EXPECT_EQ(Engine.Log,
              Joined(Joined({"Clear()"}, ProjectionReset),
                     {"GetTexture(\"Background.bmp\")", "DrawImage(\"Background.bmp\", 0, 0, -1, -1, 0, 0)",
                      "SetFont(\"Lucida Console_14.bmp\")", "DrawText(\"Favour: -12%\", 320, 20)",
                      "DrawText(\"Lumber: 0\", 20, 65)", "DrawText(\"Sacrifice it (a)\", 20, 95)",
                      "DrawText(\"Trade it (s)\", 20, 125)", "DrawText(\"Efficiency: 0%\", 20, 155)",
                      "DrawText(\"Lumber: 37\", 550, 65)", "DrawText(\"Sacrifice it (k)\", 550, 95)",
                      "DrawText(\"Trade it (l)\", 550, 125)", "DrawText(\"Efficiency: 108%\", 550, 155)",
                      "DrawText(\"???\", 360, 240)", "DrawText(\"(space)\", 330, 270)", "Present()"}));

    State.MysteryReady = false;
    State.MysteryCountdown = 100;
    Play();
    EXPECT_EQ(Count("DrawText"), 9);
    EXPECT_EQ(TextAt(360, 240), "");
    EXPECT_EQ(TextAt(330, 270), "");
}

TEST_F(GameScreen, FavourIsShownTruncatedTowardZero)
{
    for (const auto& [favour, text] : {std::pair{-12.7, "Favour: -12%"}, std::pair{0.9, "Favour: 0%"},
                                      std::pair{-0.9, "Favour: 0%"}, std::pair{-103.02, "Favour: -103%"},
                                      std::pair{57.9, "Favour: 57%"}})
    {
        State.Favour = favour;
        Play();
        EXPECT_EQ(TextAt(320, 20), text) << favour;
    }
}

TEST_F(GameScreen, TheWidestNumbersAreWrittenWhole)
{
    State.RedLumber = std::numeric_limits<std::int32_t>::min();
    State.BlueEfficiency = std::numeric_limits<std::int32_t>::min();
    Play();
    EXPECT_EQ(TextAt(20, 65), "Lumber: -2147483648");
    EXPECT_EQ(TextAt(550, 155), "Efficiency: -2147483648%");
}

TEST_F(GameScreen, WinnerScreenIsThePictureOfTheWinnerAlone)
{
    for (const auto& [winner, picture] : {std::pair{1, "\"RedWins.bmp\""}, std::pair{2, "\"BlueWins.bmp\""}})
    {
        State.Winner = winner;
        Play();
        EXPECT_EQ(Engine.Log, Joined(ProjectionReset, {"Clear()", "GetTexture(" + std::string(picture) + ")",
                                                       "DrawImage(" + std::string(picture) + ", 0, 0, -1, -1, 0, 0)",
                                                       "Present()"}));
    }
}
