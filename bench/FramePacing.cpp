// Frame-pacing benchmark: records when each Frame() arrives and reports how evenly the engine's
// 20 ms frame timer drives the game, then closes the window.
//
// VANTOR_BENCH_MODE        what each frame does: "idle" (default, nothing) or "present" (Clear and Present)
// VANTOR_BENCH_FRAMES      frames to run, warm-up included (default 1000)
// VANTOR_BENCH_SLOW_FRAME  the number of one frame that busy-waits 50 ms, to show how the loop recovers
#include "bench/FrameStatistics.h"
#include "bench/ProcessCpuTime.h"
#include "tests/support/RequestClose.h"
#include "Vantor/IMainController.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

// The software renderer compiles its shaders in the first frames; they would skew the figures.
constexpr std::size_t WarmUpFrames = 10;
constexpr std::size_t DefaultFrames = 1000;
constexpr std::size_t MaximumFrames = 1'000'000;
constexpr auto SlowFrameLength = std::chrono::milliseconds(50);
constexpr double LongIntervalMs = 25.0;
constexpr double FramePeriodMs = 20.0; // the engine's frame timer

// What a frame does besides being measured. A new mode is a class here and a line in Loads.
class IFrameLoad
{
public:
    virtual ~IFrameLoad() = default;
    // Once, before the frame timer starts: loading belongs here, not in the measured frames.
    virtual void Start(IVantor&) {}
    virtual void Frame(IVantor& engine) = 0;
};

// The loop's own cost: no OpenGL call at all.
class CIdleLoad final : public IFrameLoad
{
public:
    void Frame(IVantor&) override {}
};

// An empty picture each frame: adds the clear and the buffer swap.
class CPresentLoad final : public IFrameLoad
{
public:
    void Frame(IVantor& engine) override
    {
        engine.Clear();
        engine.Present();
    }
};

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
};

// A bad setting ends the process before any window exists: the engine's error box would wait for
// a click that an unattended run never gives.
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

struct SSettings
{
    std::string ModeName = "idle";
    std::unique_ptr<IFrameLoad> Load;
    std::size_t Frames = DefaultFrames;
    std::size_t SlowFrame = 0; // 0: none
};

SSettings ReadSettings()
{
    SSettings settings;
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
    return settings;
}

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

void AppendLine(std::string& out, const char* format, auto... values)
{
    std::array<char, 160> line{};
    const int length = std::snprintf(line.data(), line.size(), format, values...);
    if (length > 0)
        out.append(line.data(), std::min(static_cast<std::size_t>(length), line.size() - 1));
    out += '\n';
}

class CFramePacingController final : public IMainController
{
public:
    CFramePacingController(IVantor* engine, SSettings settings) : Engine(engine), Settings(std::move(settings))
    {
        Engine->SetCaption("Vantor frame pacing");
        Engine->SetSize(800, 600);
        Engine->SetUseShaders(false);
        // The frames themselves must not allocate.
        Times.reserve(Settings.Frames);
    }

    void Start() override
    {
        Settings.Load->Start(*Engine);
        // The timer's first expiry is at once and the rest follow every period from there.
        ArmTime = Clock::now();
        Engine->StartFrameTimer();
    }

    void Frame() override
    {
        // The close request is only a queued message: frames may still come before it is handled.
        if (Finished)
            return;
        const Clock::time_point now = Clock::now();
        Times.push_back(now);
        const std::size_t number = Times.size();
        // Sampled at the same point of both frames, so the span is exactly the measured frames.
        if (number == WarmUpFrames)
            CpuAtWarmUpEnd = ProcessCpuTime();
        if (number == Settings.Frames)
            CpuAtEnd = ProcessCpuTime();

        Settings.Load->Frame(*Engine);

        if (number == Settings.SlowFrame)
            while (Clock::now() - now < SlowFrameLength)
            {
            }

        if (number == Settings.Frames)
        {
            Finished = true;
            Report();
            RequestWindowClose();
        }
    }

    void FocusLost() override {}
    void FocusGained() override {}
    void KeyDown(Key) override {}
    void KeyUp(Key) override {}
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Reserved7(std::int32_t) override {}

private:
    void Report() const
    {
        // Interval i ends at frame WarmUpFrames + i + 1; the first starts at the last warm-up frame.
        std::vector<double> intervals;
        intervals.reserve(Times.size() - WarmUpFrames);
        for (std::size_t index = WarmUpFrames; index < Times.size(); ++index)
            intervals.push_back(Milliseconds(Times[index] - Times[index - 1]));
        const SPacingFigures figures = ComputePacing(intervals, LongIntervalMs);
        const double cpuPerFrame =
            std::chrono::duration<double, std::milli>(CpuAtEnd - CpuAtWarmUpEnd).count() /
            static_cast<double>(intervals.size());

        std::string out;
        AppendLine(out, "mode: %s", Settings.ModeName.c_str());
        AppendLine(out, "frames: %zu (after %zu warm-up)", figures.Count, WarmUpFrames);
        AppendLine(out, "mean interval: %.3f ms", figures.Mean);
        AppendLine(out, "standard deviation: %.3f ms", figures.StandardDeviation);
        AppendLine(out, "99th percentile: %.2f ms", figures.Percentile99);
        AppendLine(out, "maximum interval: %.2f ms", figures.Maximum);
        AppendLine(out, "intervals over %.0f ms: %zu", LongIntervalMs, figures.OverLimit);
        if (Settings.SlowFrame != 0)
        {
            // The slowed frame's own interval, then the two that show how the loop catches up.
            const std::size_t first = Settings.SlowFrame - WarmUpFrames;
            AppendLine(out, "slowed frame: %zu (busy %lld ms)", Settings.SlowFrame,
                       static_cast<long long>(SlowFrameLength.count()));
            AppendLine(out, "around slow frame: %.1f %.1f %.1f ms", intervals[first], intervals[first + 1],
                       intervals[first + 2]);
            const std::size_t slowedIsLong = intervals[first] > LongIntervalMs ? 1 : 0;
            AppendLine(out, "intervals over %.0f ms outside the slowed frame: %zu", LongIntervalMs,
                       figures.OverLimit - slowedIsLong);
        }
        AppendLine(out, "CPU per frame: %.3f ms", cpuPerFrame);
        // How long after its expiry each frame came: the loop's and the scheduler's delay together,
        // apart from the timer's own evenness.
        std::vector<double> lateness;
        lateness.reserve(Times.size() - WarmUpFrames);
        // The frame that catches up after the slowed one is late by design, not by the scheduler.
        for (std::size_t index = WarmUpFrames; index < Times.size(); ++index)
            if (Settings.SlowFrame == 0 || index != Settings.SlowFrame)
                lateness.push_back(std::fmod(Milliseconds(Times[index] - ArmTime), FramePeriodMs));
        std::sort(lateness.begin(), lateness.end());
        AppendLine(out, "wake-up after expiry: median %.3f, 99th percentile %.3f, maximum %.3f ms",
                   lateness[lateness.size() / 2], NearestRank(lateness, 0.99), lateness.back());
        std::fputs(out.c_str(), stdout);
        std::fflush(stdout);
    }

    IVantor* Engine;
    SSettings Settings;
    std::vector<Clock::time_point> Times;
    std::chrono::nanoseconds CpuAtWarmUpEnd{0};
    std::chrono::nanoseconds CpuAtEnd{0};
    Clock::time_point ArmTime;
    bool Finished = false;
};
} // namespace

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CFramePacingController(engine, ReadSettings());
}
