#include "tests/host/HostTest.h"

#include <stdexcept>

using RunLoop = HostTest;

TEST_F(RunLoop, NoFrameBeforeTheTimerIsStarted)
{
    OnStart = nullptr;
    for (int i = 0; i < 5; ++i)
        Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::KeyDown('A'));
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Count("Frame"), 0);
    EXPECT_EQ(Count("KeyDown 15"), 1);
}

TEST_F(RunLoop, FirstFrameAtOnceThenOnePerTimerSignal)
{
    Platform->ThenTick();
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Only({"Start", "ArmFrameTimer", "Frame"}),
              (std::vector<std::string>{"Start", "ArmFrameTimer", "Frame", "Frame", "Frame"}));
}

TEST_F(RunLoop, StopFrameTimerInsideFrameMakesItTheLastUntilRestarted)
{
    OnFrame = [](CScriptedController& game) {
        if (game.Frames == 2)
            game.Engine.StopFrameTimer();
    };
    OnKeyDown = [](CScriptedController& game, Key) { game.Engine.StartFrameTimer(); };
    Platform->ThenTick();
    Platform->ThenTick();
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::KeyDown(' '));
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Only({"Frame", "KeyDown"}),
              (std::vector<std::string>{"Frame", "Frame", "KeyDown 5", "Frame"}));
}

TEST_F(RunLoop, FrameRunsBeforeMessagesThatArriveWithIt)
{
    Platform->Then({true, {CFakePlatform::KeyDown('K'), CFakePlatform::FocusLost()}});
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Only({"Frame", "KeyDown", "FocusLost"}),
              (std::vector<std::string>{"Frame", "Frame", "KeyDown 25", "FocusLost"}));
}

TEST_F(RunLoop, MissedPeriodsGiveOneFrame)
{
    // Three periods pass during the first frame: the auto-reset timer holds one signal, not three.
    OnFrame = [this](CScriptedController& game) {
        if (game.Frames == 1)
            for (int i = 0; i < 3; ++i)
                Platform->ExpireTimer();
    };
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Count("Frame"), 2);
}

TEST_F(RunLoop, FramesLongerThanThePeriodStillLetMessagesThrough)
{
    // Every frame overruns, so the timer is due again whenever the loop looks.
    OnFrame = [this](CScriptedController& game) {
        Platform->ExpireTimer();
        if (game.Frames == 3)
            Platform->PostNow(CFakePlatform::Close());
        if (game.Frames > 100)
            throw std::runtime_error("the close message never got through");
    };
    Application->Run();
    EXPECT_EQ(Count("Frame"), 3);
}

TEST_F(RunLoop, NothingQueuedBehindTheQuitIsDispatched)
{
    Platform->Then({false, {CFakePlatform::Close(), CFakePlatform::KeyDown('A'), CFakePlatform::FocusLost()}});
    Application->Run();
    EXPECT_EQ(Count("KeyDown 15"), 0);
    EXPECT_EQ(Count("FocusLost"), 0);
}

TEST_F(RunLoop, ShutdownOrder)
{
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Only({"WindowDestroyed", "CancelFrameTimer", "DeleteContexts", "StopSound", "PostQuit", "Quit",
                    "CloseFrameTimer", "EndScheduling", "ControllerDestroyed"}),
              (std::vector<std::string>{"WindowDestroyed", "CancelFrameTimer", "DeleteContexts", "StopSound",
                                        "PostQuit", "Quit", "CloseFrameTimer", "EndScheduling",
                                        "ControllerDestroyed"}));
    EXPECT_EQ(Only({"BeginScheduling", "Start"}), (std::vector<std::string>{"Start", "BeginScheduling"}));
}

TEST_F(RunLoop, StoppedTimerIsNotStoppedAgainAtShutdown)
{
    OnFrame = [](CScriptedController& game) { game.Engine.StopFrameTimer(); };
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Count("CancelFrameTimer"), 1);
}

TEST_F(RunLoop, AFrameThatThrowsStillGivesBackTheTimerAndTheSound)
{
    OnStart = [this](CScriptedController& game) {
        Platform->DataFiles["Ping.wav"] = {{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, EFileRead::Ok};
        game.Engine.LoadSound("Ping.wav");
        game.Engine.PlaySound("Ping.wav");
        game.Engine.StartFrameTimer();
    };
    OnFrame = [](CScriptedController&) { throw std::runtime_error("broken frame"); };
    EXPECT_THROW(Application->Run(), std::runtime_error);
    EXPECT_EQ(Only({"CloseFrameTimer", "EndScheduling"}),
              (std::vector<std::string>{"CloseFrameTimer", "EndScheduling"}));
    // The player is stopped before the clip it reads goes with the application.
    Application.reset();
    EXPECT_EQ(Count("StopSound"), 1);
    EXPECT_EQ(Count("StillPlaying"), 0);
}

TEST_F(RunLoop, FocusEventsReachTheGame)
{
    Platform->ThenMessage(CFakePlatform::FocusGained());
    Platform->ThenMessage(CFakePlatform::FocusLost());
    Platform->ThenMessage(CFakePlatform::Close());
    OnStart = nullptr;
    Application->Run();
    EXPECT_EQ(Only({"Focus"}), (std::vector<std::string>{"FocusGained", "FocusLost"}));
}

TEST_F(RunLoop, TicksSinceWrapsAround)
{
    Platform->Ticks = 0x20;
    EXPECT_EQ(Application->TicksSince(0xFFFFFFF0u), 0x30u);
    EXPECT_EQ(Application->TicksSince(Application->GetTicks()), 0u);
}

TEST_F(RunLoop, CursorIsHiddenOnlyOverTheClientArea)
{
    Platform->ClientWidth = 800;
    Platform->ClientHeight = 600;
    const auto hides = [this](std::int32_t x, std::int32_t y) {
        Platform->CursorX = x;
        Platform->CursorY = y;
        return Application->HideCursorIfInside();
    };
    EXPECT_TRUE(hides(0, 0));
    EXPECT_TRUE(hides(799, 599));
    EXPECT_FALSE(hides(800, 10));
    EXPECT_FALSE(hides(10, 600));
    EXPECT_FALSE(hides(10, -10));
    EXPECT_EQ(Count("HideCursor"), 2);
}
