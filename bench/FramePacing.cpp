// Frame-pacing benchmark: records when each Frame() arrives and reports how evenly the engine's
// 20 ms frame timer drives the game, then closes the window.
//
// VANTOR_BENCH_MODE        what each frame does: "idle" (default, nothing), "present" (Clear and
//                          Present), or "draw": the game's picture and 110 glyphs, drawn through the
//                          engine and, in alternate blocks of frames, by the same OpenGL calls made
//                          directly, with CPU per frame for both and the allocations made by frames
// VANTOR_BENCH_FRAMES      frames to run, warm-up included (default 510); in idle mode the bare frame
//                          timer, alone in a loop of its own, runs as many in blocks between the
//                          engine's, and both are printed with the engine's targets against it
// VANTOR_BENCH_SLOW_FRAME  the number of one frame that busy-waits 50 ms, to show how the loop recovers
#include "Vantor/GL.h"
#include "bench/BareTimer.h"
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
constexpr std::size_t DefaultFrames = 510;
constexpr std::size_t MaximumFrames = 1'000'000;
constexpr auto SlowFrameLength = std::chrono::milliseconds(50);
constexpr double LongIntervalMs = 25.0;
constexpr double FramePeriodMs = 20.0; // the engine's frame timer
// Long enough for a 99th percentile of its own, short enough that both sides see the same machine.
constexpr std::size_t BareBlockIntervals = 100;

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
    // Idle frames alternate with the bare timer's: the engine's pacing is held to that limit.
    bool WithBareTimer = false;
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
    // A slowed frame is not idle pacing: the limit would only show the busy wait.
    settings.WithBareTimer = settings.ModeName == "idle" && settings.SlowFrame == 0;
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

// One side's measured frames, gathered in blocks: the interval each frame ends, how long after its
// timer's expiry it came, and the process CPU used from each block's reference frame to its last.
struct SSeries
{
    std::vector<double> Intervals;
    std::vector<double> Lateness;
    std::chrono::nanoseconds Cpu{0};
    std::size_t Blocks = 0;

    void Reserve(std::size_t intervals)
    {
        Intervals.reserve(intervals);
        Lateness.reserve(intervals);
    }

    double CpuPerFrameMs() const
    {
        return std::chrono::duration<double, std::milli>(Cpu).count() /
               static_cast<double>(std::max<std::size_t>(Intervals.size(), 1));
    }
};

// A block of a series: one reference frame, then a number of measured ones.
class CBlockRecorder
{
public:
    void Begin(SSeries& series, Clock::time_point armed, std::size_t length)
    {
        Series = &series;
        Armed = armed;
        Length = length;
        Recorded = 0;
        Referenced = false;
    }

    // True when this frame completed the block.
    bool Record(Clock::time_point now, bool lateByDesign = false)
    {
        if (!Referenced)
        {
            Referenced = true;
            Previous = now;
            CpuAtReference = ProcessCpuTime();
            return false;
        }
        Series->Intervals.push_back(Milliseconds(now - Previous));
        if (!lateByDesign)
            Series->Lateness.push_back(std::fmod(Milliseconds(now - Armed), FramePeriodMs));
        Previous = now;
        if (++Recorded < Length)
            return false;
        Series->Cpu += ProcessCpuTime() - CpuAtReference;
        ++Series->Blocks;
        return true;
    }

private:
    SSeries* Series = nullptr;
    Clock::time_point Armed;
    Clock::time_point Previous;
    std::chrono::nanoseconds CpuAtReference{0};
    std::size_t Length = 0;
    std::size_t Recorded = 0;
    bool Referenced = false;
};

struct SWakeUp
{
    double Median = 0.0;
    double Percentile99 = 0.0;
    double Maximum = 0.0;
};

SWakeUp ComputeWakeUp(std::vector<double> lateness)
{
    if (lateness.empty())
        return {};
    std::sort(lateness.begin(), lateness.end());
    return {lateness[lateness.size() / 2], NearestRank(lateness, 0.99), lateness.back()};
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
        EngineSeries.Reserve(Settings.Frames - WarmUpFrames);
        if (Settings.WithBareTimer)
            BareSeries.Reserve(Settings.Frames - WarmUpFrames);
    }

    void Start() override
    {
        Settings.Load->Start(*Engine);
        if (Settings.WithBareTimer)
            Bare = std::make_unique<CBareTimer>();
        StartEngineBlock(WarmUpFrames - 1);
    }

    void Frame() override
    {
        // The close request is only a queued message: frames may still come before it is handled.
        if (Finished)
            return;
        const Clock::time_point now = Clock::now();
        ++FrameNumber;
        // Settling frames of a block: the software renderer compiles its shaders in the first frames
        // of the run, and the first expiry after arming comes at once rather than a period on.
        const bool settling = BlockFrame < BlockSettle;
        ++BlockFrame;
        if (!settling && BlockFrame == BlockSettle + 1 && EngineSeries.Blocks == 0)
            CountingAllocations = true;
        const bool blockDone =
            !settling && Recorder.Record(now, Settings.SlowFrame != 0 && FrameNumber == Settings.SlowFrame + 1);

        Settings.Load->Frame(*Engine);

        if (FrameNumber == Settings.SlowFrame)
            while (Clock::now() - now < SlowFrameLength)
            {
            }

        if (!blockDone)
            return;
        if (Settings.WithBareTimer)
        {
            // The same timer with nothing else in the loop, in the gap between the engine's blocks,
            // so that both see the same load on the machine.
            Engine->StopFrameTimer();
            MeasureBareBlock(EngineBlockLength);
        }
        if (EngineSeries.Intervals.size() < Settings.Frames - WarmUpFrames)
        {
            StartEngineBlock(1);
            return;
        }
        CountingAllocations = false;
        Finished = true;
        Report();
        RequestWindowClose();
    }

    void FocusLost() override {}
    void FocusGained() override {}
    void KeyDown(Key) override {}
    void KeyUp(Key) override {}
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Reserved7(std::int32_t) override {}

private:
    // Intervals in the next block: the whole run at once, or alternate blocks against the bare timer.
    std::size_t BlockLength() const
    {
        const std::size_t left = Settings.Frames - WarmUpFrames - EngineSeries.Intervals.size();
        return Settings.WithBareTimer ? std::min(left, BareBlockIntervals) : left;
    }

    void StartEngineBlock(std::size_t settle)
    {
        BlockSettle = settle;
        BlockFrame = 0;
        EngineBlockLength = BlockLength();
        // The timer's first expiry is at once and the rest follow every period from there.
        const Clock::time_point armed = Clock::now();
        Recorder.Begin(EngineSeries, armed, EngineBlockLength);
        Engine->StartFrameTimer();
    }

    void MeasureBareBlock(std::size_t length)
    {
        CBlockRecorder recorder;
        const Clock::time_point armed = Clock::now();
        Bare->Arm();
        Bare->Wait(); // the expiry at once settles, as an engine block's first frame does
        recorder.Begin(BareSeries, armed, length);
        do
            Bare->Wait();
        while (!recorder.Record(Clock::now()));
        Bare->Disarm();
    }

    void Report() const
    {
        const std::vector<double>& intervals = EngineSeries.Intervals;
        const SPacingFigures figures = ComputePacing(intervals, LongIntervalMs);

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
        AppendLine(out, "CPU per frame: %.3f ms", EngineSeries.CpuPerFrameMs());
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
        // apart from the timer's own evenness. The frame that catches up after the slowed one is late
        // by design, not by the scheduler, and is left out.
        const SWakeUp wakeUp = ComputeWakeUp(EngineSeries.Lateness);
        AppendLine(out, "wake-up after expiry: median %.3f, 99th percentile %.3f, maximum %.3f ms", wakeUp.Median,
                   wakeUp.Percentile99, wakeUp.Maximum);
        if (Settings.WithBareTimer)
            ReportAgainstBareTimer(out, figures);
        std::fputs(out.c_str(), stdout);
        std::fflush(stdout);
    }

    void ReportAgainstBareTimer(std::string& out, const SPacingFigures& engine) const
    {
        const SPacingFigures bare = ComputePacing(BareSeries.Intervals, LongIntervalMs);
        const double engineCpu = EngineSeries.CpuPerFrameMs();
        const double bareCpu = BareSeries.CpuPerFrameMs();
        const SWakeUp engineWakeUp = ComputeWakeUp(EngineSeries.Lateness);
        const SWakeUp bareWakeUp = ComputeWakeUp(BareSeries.Lateness);
        AppendLine(out, "limit: the bare frame timer, alone in its loop: %zu intervals in %zu blocks of up to %zu, "
                        "alternating with the engine's",
                   bare.Count, BareSeries.Blocks, BareBlockIntervals);
        AppendLine(out, "%-14s %9s %9s %9s %9s %10s %9s", "", "mean", "std dev", "99th pct", "maximum", "CPU/frame",
                   "wake p99");
        const auto row = [&out](const char* name, const SPacingFigures& figures, double cpu, const SWakeUp& wakeUp) {
            AppendLine(out, "%-14s %9.3f %9.3f %9.2f %9.2f %10.4f %9.3f ms", name, figures.Mean,
                       figures.StandardDeviation, figures.Percentile99, figures.Maximum, cpu, wakeUp.Percentile99);
        };
        row("engine", engine, engineCpu, engineWakeUp);
        row("bare timer", bare, bareCpu, bareWakeUp);
        AppendLine(out, "%-14s %9s %9.2f %9.3f %9s %10.2f", "engine / bare", "", engine.StandardDeviation /
                   bare.StandardDeviation, engine.Percentile99 / bare.Percentile99, "", engineCpu / bareCpu);
        const auto verdict = [](bool holds) { return holds ? "holds" : "MISSED"; };
        AppendLine(out, "target: standard deviation at most 1.3 x the bare timer's: %s (%.2f x)",
                   verdict(engine.StandardDeviation <= 1.3 * bare.StandardDeviation),
                   engine.StandardDeviation / bare.StandardDeviation);
        AppendLine(out, "target: 99th percentile at most 0.1 ms above the bare timer's: %s (%+.3f ms)",
                   verdict(engine.Percentile99 <= bare.Percentile99 + 0.1), engine.Percentile99 - bare.Percentile99);
        AppendLine(out, "target: CPU per idle frame at most 1.2 x the bare timer's: %s (%.2f x)",
                   verdict(engineCpu <= 1.2 * bareCpu), engineCpu / bareCpu);
    }

    IVantor* Engine;
    SSettings Settings;
    std::unique_ptr<CBareTimer> Bare;
    SSeries EngineSeries;
    SSeries BareSeries;
    CBlockRecorder Recorder;
    std::size_t FrameNumber = 0;
    std::size_t BlockFrame = 0;
    std::size_t BlockSettle = 0;
    std::size_t EngineBlockLength = 0; // the bare block after it is as long
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
