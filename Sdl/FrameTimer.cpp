#include "Sdl/FrameTimer.h"

#include "Host/FramePeriod.h"
#include "Vantor/CVantorException.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/timerfd.h>
#include <unistd.h>

namespace
{
constexpr long FramePeriodNs = long{FramePeriodMs} * 1'000'000;
}

int CreateFrameTimer()
{
    const int timer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timer < 0)
        throw CVantorException(std::string("timerfd_create() failed: ") + std::strerror(errno));
    return timer;
}

void ArmPeriodicFrameTimer(int timer)
{
    // First expiry at once (100 ns; zero would disarm), then every period.
    const itimerspec period{{0, FramePeriodNs}, {0, 100}};
    timerfd_settime(timer, 0, &period, nullptr);
}

void DisarmFrameTimer(int timer)
{
    const itimerspec disarmed{};
    timerfd_settime(timer, 0, &disarmed, nullptr);
}

bool TakeFrameTimerExpiries(int timer)
{
    std::uint64_t expirations = 0;
    return read(timer, &expirations, sizeof expirations) == sizeof expirations;
}
