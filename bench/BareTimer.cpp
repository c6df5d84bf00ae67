// Kept apart from the engine headers: <windows.h> defines LoadImage, DrawText and PlaySound as
// macros, which would rename IVantor's methods.
#include "bench/BareTimer.h"

#ifdef _WIN32
#include "Windows/FrameTimer.h"

#include <stdexcept>

CBareTimer::CBareTimer(bool withWindowInput) : WithWindowInput(withWindowInput), Timer(CreateFrameTimer())
{
    if (Timer == nullptr)
        throw std::runtime_error("CreateWaitableTimer() failed");
}

CBareTimer::~CBareTimer()
{
    CloseHandle(Timer);
}

void CBareTimer::Arm()
{
    ArmPeriodicFrameTimer(Timer);
}

void CBareTimer::Disarm()
{
    CancelWaitableTimer(Timer);
}

void CBareTimer::Wait()
{
    if (!WithWindowInput)
    {
        WaitForSingleObject(Timer, INFINITE);
        return;
    }
    // Input left in the queue does not wake the wait again: only input that is new since the last look.
    MSG message{};
    while (MsgWaitForMultipleObjects(1, &Timer, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    GetAsyncKeyState(VK_LBUTTON);
    GetAsyncKeyState(VK_RBUTTON);
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
}
#else
#include "Sdl/FrameTimer.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <array>
#include <poll.h>
#include <unistd.h>

CBareTimer::CBareTimer(bool withWindowInput) : WithWindowInput(withWindowInput), Timer(CreateFrameTimer())
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (withWindowInput && SDL_GetWindowWMInfo(SDL_GL_GetCurrentWindow(), &info) == SDL_TRUE &&
        info.subsystem == SDL_SYSWM_X11)
        DisplayFd = ConnectionNumber(info.info.x11.display);
}

CBareTimer::~CBareTimer()
{
    close(Timer);
}

void CBareTimer::Arm()
{
    ArmPeriodicFrameTimer(Timer);
}

void CBareTimer::Disarm()
{
    DisarmFrameTimer(Timer);
}

void CBareTimer::Wait()
{
    // SDL's pump is the look at the queue: it reads what the display sent into SDL's own queue, and
    // it is the only way to SDL's input.
    for (;;)
    {
        std::array<pollfd, 2> fds{{{Timer, POLLIN, 0}, {DisplayFd, POLLIN, 0}}};
        poll(fds.data(), DisplayFd >= 0 ? 2 : 1, -1);
        const bool expired = TakeFrameTimerExpiries(Timer);
        if (WithWindowInput && expired)
        {
            SDL_GetGlobalMouseState(nullptr, nullptr);
            SDL_GetGlobalMouseState(nullptr, nullptr);
        }
        if (WithWindowInput && (expired || fds[1].revents != 0))
            SDL_PumpEvents();
        if (expired)
            return;
    }
}
#endif
