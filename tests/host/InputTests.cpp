#include "tests/host/HostTest.h"

#include "Shared/CGeneralError.h"

using Input = HostTest;

TEST_F(Input, KeyEventComesBeforeItsFlagAndTheFlagLastsOneFrame)
{
    std::vector<std::string> seen;
    OnKeyDown = [&](CScriptedController& game, Key key) {
        seen.push_back(std::string("during event ") + (game.Engine.IsKeyPressed(key) ? "pressed" : "not pressed"));
    };
    OnFrame = [&](CScriptedController& game) {
        seen.push_back(std::string("frame ") + (game.Engine.IsKeyPressed(Key::Space) ? "pressed" : "not pressed"));
    };
    Platform->ThenMessage(CFakePlatform::KeyDown(0x20));
    Platform->ThenTick();
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(seen, (std::vector<std::string>{"frame not pressed", "during event not pressed", "frame pressed",
                                              "frame not pressed"}));
}

TEST_F(Input, RepeatsCountAsPressesAndKeyUpLeavesTheFlag)
{
    std::vector<bool> pressed;
    OnFrame = [&](CScriptedController& game) { pressed.push_back(game.Engine.IsKeyPressed(Key::A)); };
    Platform->ThenMessage(CFakePlatform::KeyDown('A'));
    Platform->ThenMessage(CFakePlatform::KeyDown('A'));
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::KeyDown('A'));
    Platform->ThenMessage(CFakePlatform::KeyUp('A'));
    Platform->ThenTick();
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(pressed, (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(Count("KeyDown 15"), 3);
    EXPECT_EQ(Count("KeyUp 15"), 1);
}

TEST_F(Input, GenericModifiersGiveLeftKeysButQueriesUseSideCodes)
{
    std::vector<bool> pressed;
    OnFrame = [&](CScriptedController& game) { pressed.push_back(game.Engine.IsKeyPressed(Key::LeftShift)); };
    Platform->ThenMessage(CFakePlatform::KeyDown(0x10));
    Platform->ThenMessage(CFakePlatform::KeyDown(0x70)); // F1: flagged, no event
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::KeyDown(0xA0));
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::KeyDown(0x1000)); // beyond the table: no event, no flag
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Only({"KeyDown"}), (std::vector<std::string>{"KeyDown 9", "KeyDown 9"}));
    EXPECT_EQ(pressed, (std::vector<bool>{false, false, true}));
}

TEST_F(Input, KeyDownNeedsFocusAndCountsAQuickPressForItsFrame)
{
    std::vector<bool> down;
    OnFrame = [&](CScriptedController& game) { down.push_back(game.Engine.IsKeyDown(Key::L)); };
    Platform->ThenMessage(CFakePlatform::KeyDown('L'));
    Platform->ThenMessage(CFakePlatform::KeyUp('L'));
    Platform->ThenTick();
    Platform->ThenTick();
    Platform->ThenMessage([](CFakePlatform& platform, IPlatformEvents&) { platform.Held['L'] = true; });
    Platform->ThenTick();
    Platform->ThenMessage([](CFakePlatform& platform, IPlatformEvents&) { platform.Focus = false; });
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(down, (std::vector<bool>{false, true, false, true, false}));
}

TEST_F(Input, InvalidKeysAreGeneralErrorsExceptWithoutFocus)
{
    const auto invalid = static_cast<Key>(51);
    try
    {
        Application->IsKeyPressed(invalid);
        ADD_FAILURE() << "no error";
    }
    catch (const CGeneralError& error)
    {
        EXPECT_STREQ(error.what(), "Invalid key");
        EXPECT_STREQ(error.GetFile(), "Host/KeyTable.cpp");
    }
    EXPECT_THROW(Application->IsKeyPressed(static_cast<Key>(-1)), CGeneralError);
    EXPECT_THROW(Application->IsKeyDown(invalid), CGeneralError);
    Platform->Focus = false;
    EXPECT_FALSE(Application->IsKeyDown(invalid));
    EXPECT_FALSE(Application->IsKeyPressed(Key::Digit9));
}

TEST_F(Input, MouseButtonsAreSampledOncePerFrame)
{
    std::vector<std::string> seen;
    OnFrame = [&](CScriptedController& game) {
        std::string state;
        for (bool right : {false, true})
            state += std::string(game.Engine.IsMouseDown(right) ? "D" : "-") +
                     (game.Engine.IsMousePressed(right) ? "P" : "-") + (game.Engine.IsMouseReleased(right) ? "R" : "-");
        seen.push_back(state);
    };
    const auto buttons = [](bool left, bool right) {
        return [=](CFakePlatform& platform, IPlatformEvents&) {
            platform.LeftButton = left;
            platform.RightButton = right;
        };
    };
    Platform->ThenMessage(buttons(true, false));
    Platform->ThenTick();
    Platform->ThenTick();
    Platform->ThenMessage(buttons(false, true));
    Platform->ThenTick();
    // Pressed and released between two samples: never seen.
    Platform->ThenMessage(buttons(false, false));
    Platform->ThenMessage(buttons(true, false));
    Platform->ThenMessage(buttons(false, false));
    Platform->ThenTick();
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(seen, (std::vector<std::string>{"------", "DP----", "D-----", "--RDP-", "-----R"}));
    // Outside a frame the samples have rolled over.
    EXPECT_FALSE(Application->IsMousePressed(false));
    EXPECT_FALSE(Application->IsMouseReleased(true));
}

TEST_F(Input, MousePositionIsUnclampedClientCoordinates)
{
    Platform->CursorX = 15;
    Platform->CursorY = -10;
    std::int32_t x = 1;
    std::int32_t y = 1;
    EXPECT_TRUE(Application->GetMousePosition(x, y));
    EXPECT_EQ(x, 15);
    EXPECT_EQ(y, -10);
    Platform->CursorConverted = false;
    EXPECT_FALSE(Application->GetMousePosition(x, y));
}
