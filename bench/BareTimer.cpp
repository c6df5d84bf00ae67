// Kept apart from the engine headers: <windows.h> defines LoadImage, DrawText and PlaySound as
// macros, which would rename IVantor's methods.
#include "bench/BareTimer.h"

#ifdef _WIN32
#include "Windows/FrameTimer.h"

#include <stdexcept>

CBareTimer::CBareTimer() : Timer(CreateFrameTimer())
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
    WaitForSingleObject(Timer, INFINITE);
}
#else
#include "Sdl/FrameTimer.h"

#include <poll.h>
#include <unistd.h>

CBareTimer::CBareTimer() : Timer(CreateFrameTimer()) {}

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
    // The timer is non-blocking, as the backend needs it: poll for it, then take its expiries.
    while (!TakeFrameTimerExpiries(Timer))
    {
        pollfd timer{Timer, POLLIN, 0};
        poll(&timer, 1, -1);
    }
}
#endif
