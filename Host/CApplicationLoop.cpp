// The run loop, the frame timer, window events and shutdown.
#include "Host/CApplication.h"

#include "Host/GLShaderFunctions.h"
#include "Host/KeyTable.h"

void CApplication::Run()
{
    Begin();
    {
        // An error from a frame or an event leaves Run at once, but the timer and the scheduling it
        // set up are still given back.
        struct SEnd
        {
            CApplication& Application;
            ~SEnd() { Application.End(); }
        } end{*this};

        while (Step())
        {
        }
    }
    EndGame();
}

void CApplication::Begin()
{
    Controller.reset(CreateMainController(this));
    // Quit from the constructor: no window, no Start, nothing to run; a clip it played stops.
    if (QuitRequested)
        return PlayingSound.Stop();
    StartUp();
    Controller->Start();
    Platform->BeginScheduling();
}

bool CApplication::Step()
{
    if (!StartedUp)
        return false;
    // A due frame runs before pending messages; the messages get their turn after every frame,
    // so that frames longer than the period cannot lock the window's messages (and its close) out.
    const bool timerSignalled = Platform->WaitForFrameOrInput(FrameTimerRunning);
    if (FrameTimerRunning && timerSignalled)
        FrameTick();
    return Platform->DispatchMessages();
}

void CApplication::End()
{
    if (!StartedUp)
        return;
    Platform->CloseFrameTimer();
    Platform->EndScheduling();
}

void CApplication::EndGame()
{
    Controller.reset();
}

void CApplication::FrameTick()
{
    if (QuitRequested)
        return;
    MouseLeftDown = Platform->IsMouseButtonDown(false);
    MouseRightDown = Platform->IsMouseButtonDown(true);
    Controller->Frame();
    MouseLeftWasDown = MouseLeftDown;
    MouseRightWasDown = MouseRightDown;
    KeyPressed.fill(false);
}

void CApplication::Shutdown()
{
    // The window is going: a Quit from here on (from the game's destructor, say) has nothing to close.
    QuitRequested = true;
    if (FrameTimerRunning)
        StopFrameTimer();
    // Whatever was loaded, even if shaders were switched off since: the tables only ever hold
    // objects made with the entry points.
    for (const auto& [name, program] : Programs)
        GL20::glDeleteProgram(program);
    for (const auto& [name, shader] : Shaders)
        GL20::glDeleteShader(shader);
    Programs.clear();
    Shaders.clear();
    // Textures and glyphs go with the contexts.
    Platform->DeleteContexts();
    Platform->StopSound();
    Platform->PostQuit();
}

void CApplication::StartFrameTimer()
{
    RequireStartedUp("Can't call StartFrameTimer before Start");
    Platform->ArmFrameTimer();
    FrameTimerRunning = true;
}

void CApplication::StopFrameTimer()
{
    Platform->CancelFrameTimer();
    FrameTimerRunning = false;
}

std::uint32_t CApplication::GetTicks()
{
    return Platform->GetTicks();
}

std::uint32_t CApplication::TicksSince(std::uint32_t earlier)
{
    return Platform->GetTicks() - earlier; // unsigned: a wrap in between still gives the interval
}

bool CApplication::CancelThreadIo(void* thread)
{
    return Platform->CancelThreadIo(thread);
}

bool CApplication::HideCursorIfInside()
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    GetMousePosition(x, y);
    std::int32_t width = 0;
    std::int32_t height = 0;
    Platform->GetClientSize(width, height);
    if (x >= 0 && x < width && y >= 0 && y < height)
    {
        Platform->HideCursor();
        return true;
    }
    return false;
}

void CApplication::Quit()
{
    if (QuitRequested)
        return;
    QuitRequested = true;
    // The close arrives as the close button's does, with the next window messages: the call that
    // quit returns first, and the shutdown is the same.
    if (StartedUp)
        Platform->RequestClose();
}

void CApplication::OnFocusGained()
{
    if (!QuitRequested)
        Controller->FocusGained();
}

void CApplication::OnFocusLost()
{
    if (!QuitRequested)
        Controller->FocusLost();
}

bool CApplication::OnSetCursor()
{
    return HideCursorIfInside();
}

void CApplication::OnDestroy()
{
    Shutdown();
}
