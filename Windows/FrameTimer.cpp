#include "Windows/FrameTimer.h"

#include "Host/FramePeriod.h"

HANDLE CreateFrameTimer()
{
    const HANDLE timer =
        CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    return timer != nullptr ? timer : CreateWaitableTimerW(nullptr, FALSE, nullptr);
}

void ArmPeriodicFrameTimer(HANDLE timer)
{
    LARGE_INTEGER due{};
    due.QuadPart = -1;
    SetWaitableTimer(timer, &due, static_cast<LONG>(FramePeriodMs), nullptr, nullptr, FALSE);
}
