// The run loop, start-up, shutdown and input, on the fake backend.
#include "tests/host/HostTest.h"

#include "Host/RequestClose.h"

#include "tests/support/WavWriter.h"

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return NextController(*engine);
}

// As on every backend, the close comes with the next window messages.
void RequestWindowClose()
{
    CFakePlatform::Current->PostNow(CFakePlatform::Close());
}

using TMessage = CFakePlatform::TMessage;
using RunLoop = HostTest;

namespace
{
const CFakePlatform::SStep Tick{true, {}};
const TMessage FocusGained = [](CFakePlatform&, IPlatformEvents& events) { events.OnFocusGained(); };
const TMessage FocusLost = [](CFakePlatform&, IPlatformEvents& events) { events.OnFocusLost(); };
} // namespace

TEST_F(RunLoop, FramesComeFromTheTimerAndMessagesGetTheirTurnAfterEveryFrame)
{
    struct SRow
    {
        const char* Name;
        bool StartTimer;
        std::function<void(IVantor&, CFakePlatform&, int frame)> Frame;
        std::vector<CFakePlatform::SStep> Steps;
        Lines Seen;
    };
    const SRow rows[] = {
        {"no frame before the timer is started, then one at once", false, {},
         {Tick, Tick, {false, {CFakePlatform::Key('A', true)}}}, {"KeyDown 15", "Frame", "CancelFrameTimer"}},
        {"a stopped timer is not stopped again at shutdown", true,
         [](IVantor& engine, CFakePlatform&, int) { engine.StopFrameTimer(); }, {Tick}, {"Frame", "CancelFrameTimer"}},
        {"the first frame at once, one per signal; stopping inside a frame makes it the last until started again", true,
         [](IVantor& engine, CFakePlatform&, int frame) {
             if (frame == 2)
                 engine.StopFrameTimer();
         },
         {Tick, Tick, Tick, {false, {CFakePlatform::Key(' ', true)}}},
         {"Frame", "Frame", "CancelFrameTimer", "KeyDown 5", "Frame", "CancelFrameTimer"}},
        {"a due frame runs before the messages that came with it", true, {}, {{true, {FocusLost, FocusGained}}},
         {"Frame", "Frame", "FocusLost", "FocusGained", "CancelFrameTimer"}},
        {"frames longer than the period still let the close through", true,
         [](IVantor&, CFakePlatform& platform, int frame) {
             platform.ExpireTimer();
             if (frame == 3)
                 platform.PostNow(CFakePlatform::Close());
             if (frame > 100)
                 throw std::runtime_error("the close message never got through");
         },
         {}, {"Frame", "Frame", "Frame", "CancelFrameTimer"}},
    };
    for (const auto& row : rows)
    {
        SetUp();
        int frames = 0;
        OnStart = [&](IVantor& engine) {
            if (row.StartTimer)
                engine.StartFrameTimer();
        };
        OnFrame = [&](IVantor& engine) {
            if (row.Frame)
                row.Frame(engine, *Platform, ++frames);
        };
        OnKeyDown = [](IVantor& engine) { engine.StartFrameTimer(); };
        Run(row.Steps);
        EXPECT_EQ(Only({"Frame", "KeyDown", "Focus", "CancelFrameTimer"}), row.Seen) << row.Name;
    }
}

TEST_F(RunLoop, ShutdownOrderWithAShaderAndASoundLoaded)
{
    UseShaders = true;
    File("Glow.frag", {'v', 'o', 'i', 'd'});
    File("Ping.wav", MakeWav({}));
    OnStart = [](IVantor& engine) {
        engine.LoadShader("Glow.frag");
        engine.LoadSound("Ping.wav");
        engine.PlaySound("Ping.wav");
        // Whatever was loaded is deleted, even with shaders switched off since.
        engine.SetUseShaders(false);
        engine.StartFrameTimer();
    };
    Run({Tick});
    // The window is made from the configuration before the game starts: what Start sets comes too late.
    EXPECT_EQ(Only({"PlatformStartUp", "Start", "BeginScheduling", "WindowDestroyed", "CancelFrameTimer", "glDelete",
                    "DeleteContexts", "StopSound", "PostQuit", "Quit", "CloseFrameTimer", "EndScheduling",
                    "ControllerDestroyed"}),
              (Lines{"PlatformStartUp Test game 800x600", "Start", "BeginScheduling", "WindowDestroyed",
                     "CancelFrameTimer", "glDeleteProgram(0x101)", "glDeleteShader(0x1)", "DeleteContexts", "StopSound",
                     "PostQuit", "Quit", "CloseFrameTimer", "EndScheduling", "ControllerDestroyed"}));

    // A frame that throws leaves Run at once, but the timer, the scheduling and the sound are given back.
    SetUp();
    File("Glow.frag", {'v', 'o', 'i', 'd'});
    File("Ping.wav", MakeWav({}));
    OnFrame = [](IVantor&) { throw std::runtime_error("broken frame"); };
    EXPECT_EQ(ErrorOf([&] { Application->Run(); }), "broken frame");
    EXPECT_EQ(Only({"CloseFrameTimer", "EndScheduling", "StopSound"}), (Lines{"CloseFrameTimer", "EndScheduling"}));
    Application.reset();
    EXPECT_EQ(Only({"StopSound"}).size(), 1u);
}

TEST_F(RunLoop, QuitShutsDownAsTheCloseButtonDoesAndTheGameIsCalledNoMore)
{
    const Lines shutdown{"WindowDestroyed", "CancelFrameTimer", "DeleteContexts", "StopSound", "PostQuit", "Quit",
                         "CloseFrameTimer", "EndScheduling", "ControllerDestroyed"};
    const auto quit = [](IVantor& engine) { engine.Quit(); };
    // The close comes at once, before anything scripted later.
    const TMessage later = [](CFakePlatform& platform, IPlatformEvents&) { platform.Log.push_back("Later"); };
    struct SRow
    {
        const char* Name;
        THook Start, Frame, KeyDown;
        Lines Seen;
    };
    const SRow rows[] = {
        {"from a frame", OnStart, quit, {}, {"Frame"}},
        {"from a key: not the next key nor the next frame", OnStart, {}, quit, {"Frame", "Frame", "KeyDown 15"}},
        {"from Start: not even the first frame, due at once",
         [](IVantor& engine) { engine.StartFrameTimer(), engine.Quit(); }, {}, {}, {}},
    };
    for (const auto& row : rows)
    {
        SetUp();
        OnStart = row.Start, OnFrame = row.Frame, OnKeyDown = row.KeyDown;
        Run({{true, {CFakePlatform::Key('A', true), CFakePlatform::Key('B', true)}}, Tick, {false, {later}}, Tick});
        Lines seen = row.Seen;
        seen.insert(seen.end(), shutdown.begin(), shutdown.end());
        EXPECT_EQ(Only({"Frame", "KeyDown", "Later", "WindowDestroyed", "CancelFrameTimer", "DeleteContexts", "StopSound",
                        "PostQuit", "Quit", "CloseFrameTimer", "EndScheduling", "ControllerDestroyed"}),
                  seen)
            << row.Name;
    }

    // From the constructor: no window, no Start; the clip it started stops before the game goes.
    SetUp();
    File("Ping.wav", MakeWav({}));
    Configure = [](IVantor& engine) { engine.LoadSound("Ping.wav"), engine.PlaySound("Ping.wav"), engine.Quit(); };
    Application->Run();
    EXPECT_EQ(Only({"PlatformStartUp", "Start", "StopSound", "CloseFrameTimer", "ControllerDestroyed"}),
              (Lines{"StopSound", "ControllerDestroyed"}));
}

TEST_F(RunLoop, StartUpChecksTheConfigurationThenTheOpenGLVersionAndEntryPoints)
{
    const auto configured = [](const char* caption, std::int32_t width, std::int32_t height, bool shaders) {
        return [=](IVantor& engine) {
            if (caption != nullptr)
                engine.SetCaption(caption);
            if (width != 0)
                engine.SetSize(width, height);
            engine.SetUseShaders(shaders);
        };
    };
    const auto early = [=](std::function<void(IVantor&)> call) {
        return [=](IVantor& engine) {
            configured("T", 800, 600, true)(engine);
            call(engine);
        };
    };
    struct SRow
    {
        std::function<void(IVantor&)> Configure;
        const char* Version;
        Lines Missing;
        std::string Error;
        std::size_t Calls; // the window made, then the entry points asked for
    };
    const SRow rows[] = {
        // The caption is checked first, and both before the window is made.
        {configured(nullptr, 0, 0, false), "2.1", {}, "Program forgot to call SetCaption()", 0},
        {configured("T", 0, 0, false), "2.1", {}, "Program forgot to call SetSize()", 0},
        {configured("T", -1, 600, false), "2.1", {}, "Program forgot to call SetSize()", 0},
        // Without shaders the version is never read; a zero height passes.
        {configured("T", 800, 0, false), "1.1", {}, "no error", 1},
        {configured("T", 800, 600, true), "1.4 Mesa", {}, "OpenGL 2.0 or higher is required.", 1},
        {configured("T", 800, 600, true), "10.0", {}, "no error", 17},
        // A browser's WebGL names itself OpenGL ES 2.0, which has the entry points; ES 1.1 has not.
        {configured("T", 800, 600, true), "OpenGL ES 2.0 (WebGL 1.0 (OpenGL ES 2.0 Chromium))", {}, "no error", 17},
        {configured("T", 800, 600, true), "OpenGL ES 1.1", {}, "OpenGL 2.0 or higher is required.", 1},
        // Loaded in order: the first missing one is named, and nothing is asked for after it.
        {configured("T", 800, 600, true), "2.1 Mesa 22.3.6", {"glUniform2f", "glGetProgramInfoLog"},
         "Failed to load OpenGL function: glGetProgramInfoLog", 8},
        // What needs the window, its context or the timer, called from the constructor: no "Image too large".
        {early([](IVantor& e) { e.LoadImage("Back.bmp", false); }), "2.1", {},
         "Can't call LoadImage before Start: Back.bmp", 0},
        {early([](IVantor& e) { e.LoadFont("F.bmp"); }), "2.1", {}, "Can't call LoadFont before Start: F.bmp", 0},
        {early([](IVantor& e) { e.CreateTexture("T", {}, 0, 0); }), "2.1", {},
         "Can't call CreateTexture before Start: T", 0},
        {early([](IVantor& e) { e.LoadShader("S.frag"); }), "2.1", {}, "Can't call LoadShader before Start: S.frag", 0},
        {early([](IVantor& e) { e.StartFrameTimer(); }), "2.1", {}, "Can't call StartFrameTimer before Start", 0},
    };
    for (const auto& row : rows)
    {
        SetUp();
        Configure = row.Configure;
        FakeGL::Version = row.Version;
        Platform->MissingEntryPoints = row.Missing;
        EXPECT_EQ(ErrorOf([&] { Run(); }), row.Error) << row.Version;
        EXPECT_EQ(Only({"PlatformStartUp", "GetGLProcAddress"}).size(), row.Calls) << row.Version;
    }
}

using Input = HostTest;

// One game, frame by frame: the messages before each frame, and what the frame's queries answer.
TEST_F(Input, KeyFlagsLastOneFrameAndMouseButtonsAreSampledOncePerFrame)
{
    const auto mouse = [](bool left, bool right) -> TMessage {
        return [=](CFakePlatform& platform, IPlatformEvents&) { platform.MouseButtons = {left, right}; };
    };
    const auto down = [](std::uint32_t code) { return CFakePlatform::Key(code, true); };
    const auto up = [](std::uint32_t code) { return CFakePlatform::Key(code, false); };
    // Pressed: Space, A, LeftShift; down: L; left mouse down, pressed, released; the same for the right.
    const std::pair<std::vector<TMessage>, const char*> rows[] = {
        {{}, "--- - --- ---"}, // the first frame, at once
        {{down(0x20)}, "P-- - --- ---"},
        // A repeat is a press again; a release leaves the flag; a quick press of L counts as down.
        {{down('A'), down('A'), up('A'), down('L'), up('L')}, "-P- D --- ---"},
        // The generic shift gives the left key's event but flags its own code; beyond the table, nothing.
        {{down(0x10), down(0x1000)}, "--- - --- ---"},
        {{down(0xA0)}, "--P - --- ---"},
        {{[](CFakePlatform& platform, IPlatformEvents&) { platform.Held['L'] = true; }}, "--- D --- ---"},
        {{[](CFakePlatform& platform, IPlatformEvents&) { platform.Focus = false; }}, "--- - --- ---"},
        {{mouse(true, false)}, "--- - DP- ---"},
        {{}, "--- - D-- ---"},
        {{mouse(false, true)}, "--- - --R DP-"},
        // Pressed and released between two samples: never seen.
        {{mouse(false, false), mouse(true, false), mouse(false, false)}, "--- - --- --R"},
    };
    Lines seen;
    Lines expected;
    std::vector<bool> flaggedDuringEvent;
    OnFrame = [&](IVantor& engine) {
        std::string state;
        for (Key key : {Key::Space, Key::A, Key::LeftShift})
            state += engine.IsKeyPressed(key) ? "P" : "-";
        state += engine.IsKeyDown(Key::L) ? " D " : " - ";
        for (bool right : {false, true})
            state += std::string(engine.IsMouseDown(right) ? "D" : "-") + (engine.IsMousePressed(right) ? "P" : "-") +
                     (engine.IsMouseReleased(right) ? "R" : "-") + (right ? "" : " ");
        seen.push_back(state);
    };
    OnKeyDown = [&](IVantor& engine) { flaggedDuringEvent.push_back(engine.IsKeyPressed(Key::Space)); };
    for (const auto& [messages, state] : rows)
    {
        Platform->Then({false, messages});
        if (!expected.empty())
            Platform->Then(Tick);
        expected.push_back(state);
    }
    Run();
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(Only({"Key"}), (Lines{"KeyDown 5", "KeyDown 15", "KeyDown 15", "KeyUp 15", "KeyDown 26", "KeyUp 26",
                                    "KeyDown 9", "KeyDown 9"}));
    EXPECT_EQ(flaggedDuringEvent, std::vector<bool>(6, false));
    // Outside a frame the samples have rolled over; without focus a key is not even checked.
    EXPECT_FALSE(Application->IsMouseReleased(true));
    EXPECT_FALSE(Application->IsKeyDown(static_cast<Key>(51)));
}

TEST_F(Input, CursorIsHiddenOnlyOverTheClientAreaAndTicksWrapAround)
{
    using P = std::tuple<int, int, bool>;
    for (const auto& [x, y, hidden] : {P{0, 0, true}, P{799, 599, true}, P{800, 10, false}, P{10, 600, false},
                                       P{10, -1, false}, P{-1, 10, false}})
    {
        Platform->CursorX = x;
        Platform->CursorY = y;
        EXPECT_EQ(Application->HideCursorIfInside(), hidden) << x << ", " << y;
    }
    EXPECT_EQ(Only({"HideCursor"}).size(), 2u);
    Platform->Ticks = 0x20;
    EXPECT_EQ(Application->TicksSince(0xFFFFFFF0u), 0x30u);
}
