// Frame-pacing benchmark: records when each Frame() arrives and reports how evenly the engine's
// 20 ms frame timer drives the game, then closes the window.
//
// VANTOR_BENCH_MODE        what each frame does: "idle" (default, nothing), "present" (Clear and
//                          Present), or "draw": the game's picture and 110 glyphs, drawn through the
//                          engine and, in alternate blocks of frames, by the same OpenGL calls made
//                          directly, with CPU per frame for both and the allocations made by frames
// VANTOR_BENCH_FRAMES      frames to run, warm-up included (default 1000)
// VANTOR_BENCH_SLOW_FRAME  the number of one frame that busy-waits 50 ms, to show how the loop recovers
#include "Vantor/GL.h"
#include "bench/FrameStatistics.h"
#include "bench/ProcessCpuTime.h"
#include "Host/RequestClose.h"
#include "Vantor/IMainController.h"

#include <algorithm>
#include <atomic>
#include <new>
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

// Allocations made while frames are measured; operator new below counts them.
std::atomic<bool> CountingAllocations{false};
std::atomic<std::size_t> FrameAllocations{0};

// The texts of a HUD frame, with the offering up: 110 glyphs in all.
constexpr std::array<std::pair<std::string_view, std::pair<int, int>>, 10> HudLines{{
    {"Favour: 0%", {320, 20}},
    {"Lumber: 9", {20, 65}},
    {"Sacrifice it (a)", {20, 95}},
    {"Trade it (s)", {20, 125}},
    {"Efficiency: 100%", {20, 155}},
    {"Lumber: 9", {550, 65}},
    {"Sacrifice it (k)", {550, 95}},
    {"Trade it (l)", {550, 125}},
    {"???", {360, 240}},
    {"(space)", {330, 270}},
}};
static_assert([] {
    std::size_t glyphs = 0;
    for (const auto& line : HudLines)
        glyphs += line.first.size();
    return glyphs;
}() == 110);
constexpr std::size_t BlockFrames = 50;

// The game's frame through the engine, and the same OpenGL calls made directly, in alternate blocks
// of frames: the difference in CPU per frame is the engine's own cost.
class CDrawLoad final : public IFrameLoad
{
public:
    void Start(IVantor& engine) override
    {
        engine.LoadImage("Background.bmp", false);
        engine.LoadFont("Lucida Console_14.bmp");
        engine.SetFont("Lucida Console_14.bmp");
        Background = engine.GetTexture("Background.bmp");
        // The direct loop gets glyph-sized textures of its own, one per character, as fonts have.
        const std::vector<std::uint32_t> pixels(8 * 14, 0xFFFFFFFFu);
        for (std::size_t glyph = 0; glyph < Glyphs.size(); ++glyph)
            Glyphs[glyph] = engine.CreateTexture("Bench glyph " + std::to_string(glyph), pixels, 8, 14);
        GlyphCount = 0;
        for (const auto& line : HudLines)
            GlyphCount += line.first.size();
    }

    void Frame(IVantor& engine) override
    {
        // CPU from one frame's start to the next goes to the way the first was drawn.
        const auto now = ProcessCpuTime();
        if (Frames > WarmUpFrames)
            (PreviousDirect ? DirectCpu : EngineCpu) += now - PreviousStart;
        if (Frames > WarmUpFrames)
            ++(PreviousDirect ? DirectFrames : EngineFrames);
        const bool direct = (Frames / BlockFrames) % 2 == 1;
        PreviousStart = now;
        PreviousDirect = direct;
        ++Frames;
        if (direct)
            DrawDirectly();
        else
            DrawThroughEngine(engine);
        engine.Present();
    }

    std::size_t GlyphCount = 0;
    std::chrono::nanoseconds EngineCpu{0};
    std::chrono::nanoseconds DirectCpu{0};
    std::size_t EngineFrames = 0;
    std::size_t DirectFrames = 0;

private:
    void DrawThroughEngine(IVantor& engine) const
    {
        engine.Clear();
        engine.DrawImage(*Background, 0, 0, -1, -1, 0.0f, 0.0f);
        engine.SetFont("Lucida Console_14.bmp");
        for (const auto& [text, at] : HudLines)
            engine.DrawText(text, at.first, at.second);
    }

    static void Quad(const CTexture& texture, float left, float top)
    {
        const float right = left + static_cast<float>(texture.GetWidth());
        const float bottom = top + static_cast<float>(texture.GetHeight());
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        glBindTexture(GL_TEXTURE_2D, texture.GetTextureId());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glVertex2f(left, top);
        glTexCoord2f(texture.GetMaxU(), 0.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glVertex2f(right, top);
        glTexCoord2f(texture.GetMaxU(), texture.GetMaxV());
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glVertex2f(right, bottom);
        glTexCoord2f(0.0f, texture.GetMaxV());
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glVertex2f(left, bottom);
        glEnd();
    }

    void DrawDirectly() const
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Quad(*Background, 0.0f, 0.0f);
        for (const auto& [text, at] : HudLines)
            for (std::size_t index = 0; index < text.size(); ++index)
                Quad(*Glyphs[static_cast<unsigned char>(text[index]) % Glyphs.size()],
                     static_cast<float>(at.first) + 8.0f * static_cast<float>(index), static_cast<float>(at.second));
    }

    std::shared_ptr<CTexture> Background;
    std::array<std::shared_ptr<CTexture>, 95> Glyphs;
    std::size_t Frames = 0;
    std::chrono::nanoseconds PreviousStart{0};
    bool PreviousDirect = false;
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
    SLoadEntry{"draw", &MakeLoad<CDrawLoad>},
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
        {
            CpuAtWarmUpEnd = ProcessCpuTime();
            CountingAllocations = true;
        }
        if (number == Settings.Frames)
        {
            CpuAtEnd = ProcessCpuTime();
            CountingAllocations = false;
        }

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
        AppendLine(out, "allocations during measured frames: %zu", FrameAllocations.load());
        if (const auto* draw = dynamic_cast<const CDrawLoad*>(Settings.Load.get()); draw != nullptr)
        {
            const double engine = std::chrono::duration<double, std::milli>(draw->EngineCpu).count() /
                                  static_cast<double>(std::max<std::size_t>(draw->EngineFrames, 1));
            const double direct = std::chrono::duration<double, std::milli>(draw->DirectCpu).count() /
                                  static_cast<double>(std::max<std::size_t>(draw->DirectFrames, 1));
            AppendLine(out, "drawn: one 800 x 600 picture and %zu glyphs a frame", draw->GlyphCount);
            AppendLine(out, "CPU per frame through the engine: %.3f ms (%zu frames)", engine, draw->EngineFrames);
            AppendLine(out, "CPU per frame, same OpenGL calls made directly: %.3f ms (%zu frames)", direct,
                       draw->DirectFrames);
            AppendLine(out, "engine overhead: %.1f %%", (engine / direct - 1.0) * 100.0);
        }
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

// Counts the allocations that frames make; the engine and the game should make none.
void* operator new(std::size_t size)
{
    if (CountingAllocations)
        ++FrameAllocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
