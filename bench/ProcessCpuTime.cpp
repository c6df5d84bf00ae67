// Kept apart from the engine headers: <windows.h> defines LoadImage, DrawText and PlaySound as
// macros, which would rename IVantor's methods.
#include "bench/ProcessCpuTime.h"

#ifdef _WIN32
#include <cstdint>
#include <cstdio>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace
{
std::chrono::nanoseconds FromFileTime(const FILETIME& time)
{
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return std::chrono::nanoseconds(static_cast<std::int64_t>(ticks) * 100); // 100 ns units
}

// Under Wine the process times come in whole 10 ms ticks, too coarse for a block of idle frames.
// The loop's thread is a Linux thread, whose run time Linux keeps to the nanosecond: read through the
// drive that Wine maps to the root. The loop's thread is where an idle frame's work is done.
bool ReadLinuxThreadTime(std::chrono::nanoseconds& time)
{
    FILE* file = std::fopen("Z:\\proc\\thread-self\\schedstat", "r");
    if (file == nullptr)
        return false;
    long long runTime = 0;
    const bool read = std::fscanf(file, "%lld", &runTime) == 1;
    std::fclose(file);
    time = std::chrono::nanoseconds(runTime);
    return read;
}
} // namespace

std::chrono::nanoseconds ProcessCpuTime()
{
    if (std::chrono::nanoseconds underWine; ReadLinuxThreadTime(underWine))
        return underWine;
    FILETIME creation{};
    FILETIME exit{};
    FILETIME kernel{};
    FILETIME user{};
    if (GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user) == 0)
        return std::chrono::nanoseconds(0);
    return FromFileTime(kernel) + FromFileTime(user);
}
#else
#include <ctime>

std::chrono::nanoseconds ProcessCpuTime()
{
    timespec now{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) != 0)
        return std::chrono::nanoseconds(0);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}
#endif
