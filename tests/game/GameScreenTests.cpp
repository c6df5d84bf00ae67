#include "tests/game/GameTest.h"

#include <limits>
#include <memory>

using Log = std::vector<std::string>;
using GameScreen = GameTest;

TEST(GameSetUp, FactoryConfiguresTheWindowAndStartLoadsTheFourFiles)
{
    CRecordingVantor engine;
    std::unique_ptr<IMainController> game(CreateMainController(&engine));
    ASSERT_NE(dynamic_cast<CMainController*>(game.get()), nullptr);
    EXPECT_EQ(engine.Log, (Log{"SetCaption(\"Arborath\")", "SetSize(800, 600)", "SetUseShaders(false)"}));
    engine.Log.clear();
    game->Start();
    EXPECT_EQ(engine.Log, (Log{"LoadImage(\"Background.bmp\", false)", "LoadImage(\"RedWins.bmp\", false)",
                               "LoadImage(\"BlueWins.bmp\", false)", "LoadFont(\"Lucida Console_14.bmp\")",
                               "StartFrameTimer()"}));
}

TEST_F(GameScreen, PlayingFrameDrawsTheBackgroundThenTheTextsInOrder)
{
    State = {.RedLumber = 0, .BlueLumber = 37, .RedEfficiency = 140, .RedHalted = true, .RedHaltFrames = 10,
             .BlueEfficiency = 108, .Favour = -12.7, .MysteryReady = true};
    Play();
    // SetView multiplies onto the projection, so the game resets it first on every frame.
    EXPECT_EQ(Engine.Log,
              (Log{"Clear()", "glMatrixMode(0x1701)", "glLoadIdentity()", "glMatrixMode(0x1700)", "glLoadIdentity()",
                   "SetView(800, 600)", "GetTexture(\"Background.bmp\")",
                   "DrawImage(\"Background.bmp\", 0, 0, -1, -1, 0, 0)", "SetFont(\"Lucida Console_14.bmp\")",
                   "DrawText(\"Favour: -12%\", 320, 20)", "DrawText(\"Lumber: 0\", 20, 65)",
                   "DrawText(\"Sacrifice it (a)\", 20, 95)", "DrawText(\"Trade it (s)\", 20, 125)",
                   "DrawText(\"Efficiency: 0%\", 20, 155)", "DrawText(\"Lumber: 37\", 550, 65)",
                   "DrawText(\"Sacrifice it (k)\", 550, 95)", "DrawText(\"Trade it (l)\", 550, 125)",
                   "DrawText(\"Efficiency: 108%\", 550, 155)", "DrawText(\"???\", 360, 240)",
                   "DrawText(\"(space)\", 330, 270)", "Present()"}));
}

// The state drawn, and the HUD texts that show it: the favour truncated toward zero, a halted player
// at 0 %, the widest numbers whole, the offering only while it is up.
TEST_F(GameScreen, HudShowsTheState)
{
    const std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    const std::pair<SState, Log> rows[] = {
        {{.Favour = 0.9}, {"Favour: 0%", "Lumber: 20", "Efficiency: 100%", "Lumber: 20", "Efficiency: 100%", "", ""}},
        {{.Favour = -0.9}, {"Favour: 0%", "Lumber: 20", "Efficiency: 100%", "Lumber: 20", "Efficiency: 100%", "", ""}},
        {{.Favour = 57.9, .MysteryReady = true},
         {"Favour: 57%", "Lumber: 20", "Efficiency: 100%", "Lumber: 20", "Efficiency: 100%", "???", "(space)"}},
        {{.RedLumber = lowest, .BlueEfficiency = lowest, .Favour = -103.02},
         {"Favour: -103%", "Lumber: -2147483648", "Efficiency: 100%", "Lumber: 20", "Efficiency: -2147483648%", "",
          ""}},
        {{.BlueEfficiency = 120, .BlueHalted = true, .BlueHaltFrames = 9},
         {"Favour: 0%", "Lumber: 20", "Efficiency: 100%", "Lumber: 20", "Efficiency: 0%", "", ""}},
    };
    for (const auto& [state, texts] : rows)
    {
        State = state;
        State.MysteryCountdown = 100;
        Play();
        EXPECT_EQ((Log{TextAt(320, 20), TextAt(20, 65), TextAt(20, 155), TextAt(550, 65), TextAt(550, 155),
                       TextAt(360, 240), TextAt(330, 270)}),
                  texts);
        EXPECT_EQ(Count("DrawText"), state.MysteryReady ? 11 : 9);
    }
}
