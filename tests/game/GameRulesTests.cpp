#include "tests/game/GameTest.h"

using GameRules = GameTest;

TEST_F(GameRules, LumberComesEvery25FramesAndNoSacrificeMeansNoFavour)
{
    PlayFrames(25);
    EXPECT_EQ(State.RedLumber, 20);
    Play(); // frame 26: 2600 is more than 2500
    EXPECT_EQ(State.RedLumber, 21);
    EXPECT_EQ(State.BlueLumber, 21);
    PlayFrames(24); // frame 50: 2500 is not
    EXPECT_EQ(State.RedLumber, 21);
    Play();
    EXPECT_EQ(State.RedLumber, 22);
    EXPECT_EQ(State.BlueLumber, 22);
    PlayFrames(949);
    EXPECT_EQ(State.Favour, 0.0);
    EXPECT_EQ(State.Winner, 0);
}

TEST_F(GameRules, EfficiencyAbove2500MakesSeveralUnitsInOneFrame)
{
    State.RedEfficiency = 5100;
    Play();
    EXPECT_EQ(State.RedLumber, 22);
    EXPECT_EQ(State.RedProgress, 100);
}

TEST_F(GameRules, FourLumberBuysNothingAndThePressIsNotKept)
{
    State.RedLumber = State.BlueLumber = 4;
    State.RedProgress = State.BlueProgress = 2350; // the fifth unit comes in the second frame
    Play({Key::A, Key::S, Key::K, Key::L});
    EXPECT_EQ(State.RedLumber, 4);
    EXPECT_EQ(State.BlueLumber, 4);
    Play();
    EXPECT_EQ(State.RedLumber, 5);
    EXPECT_EQ(State.Favour, 0.0);
    EXPECT_EQ(State.RedEfficiency, 100);
    EXPECT_EQ(State.BlueEfficiency, 100);
    Play({Key::A, Key::L}); // exactly five is enough
    EXPECT_EQ(State.RedLumber, 0);
    EXPECT_EQ(State.Favour, -2.0);
    EXPECT_EQ(State.BlueLumber, 0);
    EXPECT_EQ(State.BlueEfficiency, 104);
}

TEST_F(GameRules, SacrificeBeatsTradeAndBothPlayersMayActInOneFrame)
{
    State.RedLumber = State.BlueLumber = 10;
    Play({Key::A, Key::S});
    EXPECT_EQ(State.RedLumber, 5);
    EXPECT_EQ(State.Favour, -2.0);
    EXPECT_EQ(State.RedEfficiency, 100);
    Play({Key::S, Key::K, Key::L});
    EXPECT_EQ(State.RedEfficiency, 104);
    EXPECT_EQ(State.BlueLumber, 5);
    EXPECT_EQ(State.BlueEfficiency, 100);
    EXPECT_EQ(State.Favour, 0.0);
}

TEST_F(GameRules, FavourOfExactly100AfterGrowthDoesNotWin)
{
    for (const double target : {-100.0, 100.0})
    {
        const double before = target / 1.02;
        ASSERT_EQ(before * 1.02, target);
        State.FavourTick = 29;
        State.Favour = before;
        Play();
        EXPECT_EQ(State.Favour, target);
        EXPECT_EQ(State.Winner, 0);
    }
}

// Frames 1 to 31: red's sacrifice on frame 31 takes the favour from -99 to -101.
class RedCrossing : public GameTest
{
protected:
    RedCrossing()
    {
        PlayFrames(30);
        State.Favour = -99.0;
        Play({Key::A});
    }
};

TEST_F(RedCrossing, RedWinsOnlyAfterTheGrowthOfFrame60)
{
    EXPECT_EQ(State.Favour, -101.0);
    for (int frame = 32; frame < 60; ++frame)
    {
        Play();
        ASSERT_EQ(State.Winner, 0) << frame;
    }
    Play();
    EXPECT_DOUBLE_EQ(State.Favour, -103.02);
    EXPECT_EQ(State.Winner, 1);
    // The winning frame is still a playing screen, with the final favour.
    EXPECT_EQ(TextAt(320, 20), "Favour: -103%");
    Play();
    EXPECT_EQ(Count("DrawText"), 0);
    EXPECT_EQ(Count("DrawImage(\"RedWins.bmp\""), 1);
}

TEST_F(RedCrossing, OneBlueSacrificeDoesNotStopIt)
{
    Play({Key::K});
    PlayFrames(28);
    EXPECT_DOUBLE_EQ(State.Favour, -100.98);
    EXPECT_EQ(State.Winner, 1);
}

TEST_F(RedCrossing, TwoBlueSacrificesDo)
{
    Play({Key::K});
    Play({Key::K});
    PlayFrames(27);
    EXPECT_DOUBLE_EQ(State.Favour, -98.94);
    EXPECT_EQ(State.Winner, 0);
}

TEST_F(GameRules, OfferingComesOnFrame450AndAgain450FramesAfterItIsTaken)
{
    for (int frame = 1; frame < 450; ++frame)
    {
        Play({Key::Space});
        ASSERT_FALSE(State.MysteryReady) << frame;
    }
    Outcomes = {3};
    Play({Key::Space}); // up and taken in the same frame
    EXPECT_TRUE(Outcomes.empty());
    EXPECT_FALSE(State.MysteryReady);
    EXPECT_EQ(TextAt(360, 240), "");
    PlayFrames(449);
    EXPECT_FALSE(State.MysteryReady);
    Play();
    EXPECT_TRUE(State.MysteryReady);
    EXPECT_EQ(TextAt(360, 240), "???");
    EXPECT_EQ(TextAt(330, 270), "(space)");
}

TEST_F(GameRules, CalmTakesAQuarterOffTheFavour)
{
    for (const auto& [before, after] : {std::pair{-40.0, -30.0}, std::pair{0.0, 0.0}})
    {
        State.MysteryReady = true;
        State.Favour = before;
        Outcomes = {0};
        Play({Key::Space});
        EXPECT_EQ(State.Favour, after);
    }
    State.MysteryReady = true;
    Outcomes = {3};
    Play({Key::Space});
    EXPECT_EQ(State.Favour, 0.0);
    EXPECT_FALSE(State.RedHalted || State.BlueHalted);
}

TEST_F(GameRules, RedHaltStopsProductionFor300FramesAndShowsZeroFor299)
{
    PlayFrames(449);
    State.RedProgress = 0;
    const std::int32_t lumber = State.RedLumber;
    Outcomes = {1};
    for (int frame = 0; frame < 300; ++frame) // frames F to F+299
    {
        if (frame == 0)
            Play({Key::Space});
        else if (frame == 100)
            Play({Key::S}); // a halted player can still trade
        else
            Play();
        ASSERT_EQ(State.RedProgress, 0) << frame;
        ASSERT_EQ(TextAt(20, 155), frame < 299 ? "Efficiency: 0%" : "Efficiency: 104%") << frame;
        ASSERT_EQ(TextAt(550, 155), "Efficiency: 100%") << frame;
    }
    EXPECT_EQ(State.RedLumber, lumber - 5);
    Play();
    EXPECT_EQ(State.RedProgress, 104);
}

TEST_F(GameRules, BlueHaltShowsInTheRightColumnAndStartsAgainWhenDrawnAgain)
{
    State.MysteryReady = true;
    Outcomes = {2, 2};
    Play({Key::Space});
    EXPECT_EQ(TextAt(550, 155), "Efficiency: 0%");
    EXPECT_EQ(TextAt(20, 155), "Efficiency: 100%");
    Play();
    State.MysteryReady = true;
    Play({Key::Space});
    EXPECT_EQ(State.BlueHaltFrames, 299);
    EXPECT_EQ(State.BlueProgress, 0);
}

// Frozen after the win: the rules stop (no lumber, no favour growth, no offering, no key read even
// with every key pressed) and every frame draws the winner's picture alone.
TEST_F(GameRules, AfterTheWinTheRulesStopAndOnlyTheWinnerIsDrawn)
{
    PlayFrames(449); // the offering is due next frame, lumber on every one
    State.Winner = 2;
    const CMainController::SState won = State;
    for (int frame = 0; frame < 60; ++frame)
    {
        Play({Key::A, Key::S, Key::K, Key::L, Key::Space});
        ASSERT_TRUE(Engine.KeyQueries.empty()) << frame;
        ASSERT_EQ(Count("DrawImage"), 1) << frame;
        ASSERT_EQ(Count("DrawImage(\"BlueWins.bmp\""), 1) << frame;
        ASSERT_EQ(Count("DrawText"), 0) << frame;
    }
    EXPECT_TRUE(State == won);
}
