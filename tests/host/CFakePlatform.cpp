#include "tests/host/CFakePlatform.h"

#include "tests/host/FakeGL.h"

#include <algorithm>
#include <stdexcept>

CFakePlatform::TMessage CFakePlatform::KeyDown(std::uint32_t code)
{
    return [code](CFakePlatform&, IPlatformEvents& events) { events.OnKeyDown(code); };
}

CFakePlatform::TMessage CFakePlatform::KeyUp(std::uint32_t code)
{
    return [code](CFakePlatform&, IPlatformEvents& events) { events.OnKeyUp(code); };
}

CFakePlatform::TMessage CFakePlatform::FocusGained()
{
    return [](CFakePlatform&, IPlatformEvents& events) { events.OnFocusGained(); };
}

CFakePlatform::TMessage CFakePlatform::FocusLost()
{
    return [](CFakePlatform&, IPlatformEvents& events) { events.OnFocusLost(); };
}

CFakePlatform::TMessage CFakePlatform::Close()
{
    return [](CFakePlatform& platform, IPlatformEvents& events) {
        platform.Log.push_back("WindowDestroyed");
        events.OnDestroy();
    };
}

void CFakePlatform::StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                            std::int32_t height)
{
    Events = &events;
    ClientWidth = width;
    ClientHeight = height;
    Log.push_back("PlatformStartUp " + std::string(caption) + " " + std::to_string(width) + "x" + std::to_string(height));
}

void* CFakePlatform::GetGLProcAddress(const char* name)
{
    Log.push_back(std::string("GetGLProcAddress ") + name);
    if (std::find(MissingEntryPoints.begin(), MissingEntryPoints.end(), name) != MissingEntryPoints.end())
        return nullptr;
    return FakeGL::EntryPoint(name);
}

bool CFakePlatform::SwapBuffers()
{
    Log.push_back("SwapBuffers");
    return true;
}

void CFakePlatform::ArmFrameTimer()
{
    Log.push_back("ArmFrameTimer");
    TimerArmed = true;
    // The first expiry follows at once.
    TimerSignalled = true;
}

void CFakePlatform::CancelFrameTimer()
{
    Log.push_back("CancelFrameTimer");
    TimerArmed = false;
    TimerSignalled = false;
}

void CFakePlatform::CloseFrameTimer()
{
    Log.push_back("CloseFrameTimer");
    TimerArmed = false;
    TimerSignalled = false;
}

bool CFakePlatform::WaitForFrameOrInput(bool waitTimer)
{
    for (;;)
    {
        if (waitTimer && TimerSignalled)
        {
            TimerSignalled = false;
            return true;
        }
        if (NewInput)
        {
            NewInput = false;
            return false;
        }
        if (Script.empty())
            throw std::logic_error("the loop waits but the test scripted nothing more");
        SStep step = std::move(Script.front());
        Script.pop_front();
        // An auto-reset periodic timer: however many periods passed, one signal.
        if (step.Tick && TimerArmed)
            TimerSignalled = true;
        for (auto& message : step.Messages)
            Queue.push_back(std::move(message));
        NewInput = NewInput || !step.Messages.empty();
    }
}

bool CFakePlatform::DispatchMessages()
{
    while (!Queue.empty() || QuitQueued)
    {
        // The quit message comes before anything still queued.
        if (QuitQueued)
        {
            Log.push_back("Quit");
            return false;
        }
        TMessage message = std::move(Queue.front());
        Queue.pop_front();
        message(*this, *Events);
    }
    return true;
}

void CFakePlatform::PostQuit()
{
    Log.push_back("PostQuit");
    QuitQueued = true;
}

bool CFakePlatform::GetCursorClientPosition(std::int32_t& x, std::int32_t& y)
{
    x = CursorX;
    y = CursorY;
    return CursorConverted;
}

void CFakePlatform::GetClientSize(std::int32_t& width, std::int32_t& height)
{
    width = ClientWidth;
    height = ClientHeight;
}
