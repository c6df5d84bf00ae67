#include "tests/game/GameTest.h"

#include <optional>

using GameRules = GameTest;

namespace
{
// The state after one quiet frame from the start: production, the favour's and the offering's clocks.
constexpr SState Quiet{.RedProgress = 100, .BlueProgress = 100, .FavourTick = 1, .MysteryCountdown = 449};
} // namespace

// One frame each: the state before, the keys pressed, the offering's outcome if it is taken, the state after.
TEST_F(GameRules, OneFrameFromEachPosition)
{
    struct SRow
    {
        const char* Name;
        SState Before;
        std::set<Key> Keys;
        std::optional<std::int32_t> Outcome;
        SState After;
    };
    const double redGrown = (-99.0 - 2.0) * 1.02;
    const double blueGrown = (99.0 + 2.0) * 1.02;
    const SRow rows[] = {
        {"a quiet frame", {}, {}, {}, Quiet},
        {"lumber once progress is more than 2500", {.RedProgress = 2400, .BlueProgress = 2401}, {}, {},
         {.RedProgress = 2500, .BlueLumber = 21, .BlueProgress = 1, .FavourTick = 1, .MysteryCountdown = 449}},
        {"several units in one frame", {.RedEfficiency = 5100}, {}, {},
         {.RedLumber = 22, .RedProgress = 100, .BlueProgress = 100, .RedEfficiency = 5100, .FavourTick = 1,
          .MysteryCountdown = 449}},
        {"four lumber buys nothing, and production comes after the actions",
         {.RedLumber = 4, .RedProgress = 2450, .BlueLumber = 4, .BlueProgress = 2450},
         {Key::A, Key::S, Key::K, Key::L}, {},
         {.RedLumber = 5, .RedProgress = 50, .BlueLumber = 5, .BlueProgress = 50, .FavourTick = 1,
          .MysteryCountdown = 449}},
        {"exactly five is enough", {.RedLumber = 5, .BlueLumber = 5}, {Key::A, Key::L}, {},
         {.RedLumber = 0, .RedProgress = 100, .BlueLumber = 0, .BlueProgress = 104, .BlueEfficiency = 104,
          .Favour = -2.0, .FavourTick = 1, .MysteryCountdown = 449}},
        {"the sacrifice beats the trade", {}, {Key::A, Key::S, Key::K, Key::L}, {},
         {.RedLumber = 15, .RedProgress = 100, .BlueLumber = 15, .BlueProgress = 100, .FavourTick = 1,
          .MysteryCountdown = 449}},
        {"exactly -100 after growth does not win", {.Favour = -100.0 / 1.02, .FavourTick = 29}, {}, {},
         {.RedProgress = 100, .BlueProgress = 100, .Favour = -100.0, .MysteryCountdown = 449}},
        {"exactly 100 after growth does not win", {.Favour = 100.0 / 1.02, .FavourTick = 29}, {}, {},
         {.RedProgress = 100, .BlueProgress = 100, .Favour = 100.0, .MysteryCountdown = 449}},
        {"beyond -100 between growths does not win", {.Favour = -101.0}, {}, {},
         {.RedProgress = 100, .BlueProgress = 100, .Favour = -101.0, .FavourTick = 1, .MysteryCountdown = 449}},
        {"red wins after the growth, and production still runs", {.Favour = -99.0, .FavourTick = 29}, {Key::A}, {},
         {.Winner = 1, .RedLumber = 15, .RedProgress = 100, .BlueProgress = 100, .Favour = redGrown,
          .MysteryCountdown = 449}},
        {"blue wins", {.Favour = 99.0, .FavourTick = 29}, {Key::K}, {},
         {.Winner = 2, .RedProgress = 100, .BlueLumber = 15, .BlueProgress = 100, .Favour = blueGrown,
          .MysteryCountdown = 449}},
        {"the offering comes up", {.MysteryCountdown = 1}, {}, {},
         {.RedProgress = 100, .BlueProgress = 100, .FavourTick = 1, .MysteryReady = true, .MysteryCountdown = 0}},
        {"and may be taken in the same frame", {.MysteryCountdown = 1}, {Key::Space}, 3,
         {.RedProgress = 100, .BlueProgress = 100, .FavourTick = 1, .MysteryCountdown = 450}},
        {"space without an offering draws nothing", {}, {Key::Space}, {}, Quiet},
        {"calm takes a quarter off", {.Favour = -40.0, .MysteryReady = true}, {Key::Space}, 0,
         {.RedProgress = 100, .BlueProgress = 100, .Favour = -30.0, .FavourTick = 1, .MysteryCountdown = 450}},
        {"red halts", {.MysteryReady = true}, {Key::Space}, 1,
         {.BlueProgress = 100, .RedHalted = true, .RedHaltFrames = 299, .FavourTick = 1, .MysteryCountdown = 450}},
        {"blue halts, and a running halt starts again",
         {.BlueHalted = true, .BlueHaltFrames = 5, .MysteryReady = true}, {Key::Space}, 2,
         {.RedProgress = 100, .BlueHalted = true, .BlueHaltFrames = 299, .FavourTick = 1, .MysteryCountdown = 450}},
        {"the last halted frame produces nothing", {.RedProgress = 7, .RedHalted = true, .RedHaltFrames = 1}, {}, {},
         {.RedProgress = 7, .BlueProgress = 100, .FavourTick = 1, .MysteryCountdown = 449}},
        {"a halted player can still trade", {.RedHalted = true, .RedHaltFrames = 50}, {Key::S}, {},
         {.RedLumber = 15, .BlueProgress = 100, .RedEfficiency = 104, .RedHalted = true, .RedHaltFrames = 49,
          .FavourTick = 1, .MysteryCountdown = 449}},
    };
    for (const auto& row : rows)
    {
        State = row.Before;
        if (row.Outcome)
            Outcomes = {*row.Outcome};
        Play(row.Keys);
        EXPECT_EQ(State, row.After) << row.Name;
        EXPECT_TRUE(Outcomes.empty()) << row.Name;
    }
}

// Frozen after the win: the rules stop (no lumber, no favour growth, no offering, no key read even
// with every key pressed) and every frame draws the winner's picture alone.
TEST_F(GameRules, AfterTheWinTheRulesStopAndOnlyTheWinnerIsDrawn)
{
    for (const auto& [favour, key, picture] : {std::tuple{-99.0, Key::A, "\"RedWins.bmp\""},
                                               std::tuple{99.0, Key::K, "\"BlueWins.bmp\""}})
    {
        State = {.RedProgress = 2500, .BlueProgress = 2500, .Favour = favour, .FavourTick = 29, .MysteryCountdown = 2};
        Play({key});
        ASSERT_NE(State.Winner, 0);
        // The winning frame is still a playing screen, with the final favour.
        EXPECT_EQ(TextAt(320, 20), favour < 0 ? "Favour: -103%" : "Favour: 103%");
        const SState won = State;
        const std::vector<std::string> winner = {
            "glMatrixMode(0x1701)", "glLoadIdentity()", "glMatrixMode(0x1700)", "glLoadIdentity()", "SetView(800, 600)",
            "Clear()", "GetTexture(" + std::string(picture) + ")",
            "DrawImage(" + std::string(picture) + ", 0, 0, -1, -1, 0, 0)", "Present()"};
        for (int frame = 0; frame < 30; ++frame)
        {
            Play({Key::A, Key::S, Key::K, Key::L, Key::Space});
            ASSERT_TRUE(Engine.KeyQueries.empty()) << frame;
            ASSERT_EQ(Engine.Log, winner) << frame;
            ASSERT_EQ(State, won) << frame;
        }
    }
}
