#include "bench/BenchSettings.h"

#include "bench/DrawingCost.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace
{
constexpr std::size_t DefaultFrames = 510;
constexpr std::size_t MaximumFrames = 1'000'000;

template <typename T> std::unique_ptr<IFrameLoad> MakeLoad()
{
    return std::make_unique<T>();
}

struct SLoadEntry
{
    std::string_view Name;
    std::unique_ptr<IFrameLoad> (*Create)();
};

constexpr std::array Loads{
    SLoadEntry{"idle", &MakeLoad<CIdleLoad>},
    SLoadEntry{"present", &MakeLoad<CPresentLoad>},
    SLoadEntry{"draw", &MakeLoad<CDrawLoad>},
};

[[noreturn]] void UsageError(const std::string& message)
{
    std::string modes;
    for (const SLoadEntry& entry : Loads)
    {
        if (!modes.empty())
            modes += '|';
        modes += entry.Name;
    }
    std::fprintf(stderr,
                 "VantorFramePacing: %s\n"
                 "usage: VANTOR_BENCH_MODE=%s VANTOR_BENCH_FRAMES=n (more than %zu)"
                 " VANTOR_BENCH_SLOW_FRAME=k (%zu..n-3)\n",
                 message.c_str(), modes.c_str(), WarmUpFrames, WarmUpFrames + 1);
    std::fflush(stderr);
    std::exit(2);
}

std::size_t ReadCount(const char* variable, std::size_t fallback)
{
    const char* text = std::getenv(variable);
    if (text == nullptr || *text == '\0')
        return fallback;
    const std::string_view view(text);
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (error != std::errc() || end != view.data() + view.size())
        UsageError(std::string(variable) + " is not a whole number: " + text);
    return value;
}
} // namespace

SSettings ReadSettings()
{
    SSettings settings;
    settings.Frames = DefaultFrames;
    if (const char* mode = std::getenv("VANTOR_BENCH_MODE"); mode != nullptr && *mode != '\0')
        settings.ModeName = mode;
    for (const SLoadEntry& entry : Loads)
        if (entry.Name == settings.ModeName)
            settings.Load = entry.Create();
    if (!settings.Load)
        UsageError("unknown VANTOR_BENCH_MODE: " + settings.ModeName);

    settings.Frames = ReadCount("VANTOR_BENCH_FRAMES", DefaultFrames);
    if (settings.Frames <= WarmUpFrames || settings.Frames > MaximumFrames)
        UsageError("VANTOR_BENCH_FRAMES out of range: " + std::to_string(settings.Frames));

    // The slowed frame and the two after it must all be measured intervals.
    settings.SlowFrame = ReadCount("VANTOR_BENCH_SLOW_FRAME", 0);
    if (settings.SlowFrame != 0 &&
        (settings.SlowFrame <= WarmUpFrames || settings.SlowFrame + 3 > settings.Frames))
        UsageError("VANTOR_BENCH_SLOW_FRAME out of range: " + std::to_string(settings.SlowFrame));
    // A slowed frame is not idle pacing: the comparison would only show the busy wait.
    settings.AgainstBareTimer = settings.ModeName == "idle" && settings.SlowFrame == 0;
    return settings;
}
