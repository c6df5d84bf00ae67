// Frame-pacing benchmark: records when each Frame() arrives and reports how evenly the engine's
// 20 ms frame timer drives the game, then closes the window. A missed target ends the process with
// status 1 once the window is gone.
//
// The settings are read by BenchSettings.cpp. In idle mode the bare frame timer, alone and with the
// window's input, runs as many frames as the engine in blocks between the engine's, and the engine
// is held to targets against them.
#include "bench/AppendLine.h"
#include "bench/BareTimer.h"
#include "bench/BenchSettings.h"
#include "bench/FrameAllocations.h"
#include "bench/FrameStatistics.h"
#include "Host/RequestClose.h"
#include "Vantor/IMainController.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr auto SlowFrameLength = std::chrono::milliseconds(50);
constexpr double LongIntervalMs = 25.0;
// Long enough for a 99th percentile of its own, short enough that all sides see the same machine.
constexpr std::size_t BareBlockIntervals = 100;

// A bare loop and the figures it gathers.
struct SBareLoop
{
    std::unique_ptr<CBareTimer> Timer;
    SSeries Series;
};

class CFramePacingController final : public IMainController
{
public:
    CFramePacingController(IVantor* engine, SSettings settings) : Engine(engine), Settings(std::move(settings))
    {
        Engine->SetCaption("Vantor frame pacing");
        Engine->SetSize(800, 600);
        Engine->SetUseShaders(false);
        // The frames themselves must not allocate.
        for (SSeries* series : {&EngineSeries, &Bare.Series, &BareWithInput.Series})
        {
            series->Intervals.reserve(Settings.Frames - WarmUpFrames);
            series->Lateness.reserve(Settings.Frames - WarmUpFrames);
        }
    }

    // The engine's program always ends with status 0: a missed target ends it here instead, once the
    // loop has ended and the window is gone.
    ~CFramePacingController() override
    {
        if (Missed)
            std::exit(1);
    }

    void Start() override
    {
        Settings.Load->Start(*Engine);
        if (Settings.AgainstBareTimer)
        {
            Bare.Timer = std::make_unique<CBareTimer>(false);
            BareWithInput.Timer = std::make_unique<CBareTimer>(true);
        }
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
            CountFrameAllocations(true);
        // The frame that catches up after the slowed one is late by design, not by the scheduler.
        const bool blockDone =
            !settling && Recorder.Record(now, Settings.SlowFrame != 0 && FrameNumber == Settings.SlowFrame + 1);

        Settings.Load->Frame(*Engine);

        if (FrameNumber == Settings.SlowFrame)
            while (Clock::now() - now < SlowFrameLength)
            {
            }

        if (!blockDone)
            return;
        if (Settings.AgainstBareTimer)
        {
            // The same timer in loops of their own, in the gap between the engine's blocks, so that
            // all see the same load on the machine.
            Engine->StopFrameTimer();
            MeasureBareBlock(Bare);
            MeasureBareBlock(BareWithInput);
        }
        if (EngineSeries.Intervals.size() < Settings.Frames - WarmUpFrames)
        {
            StartEngineBlock(1);
            return;
        }
        CountFrameAllocations(false);
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
    void StartEngineBlock(std::size_t settle)
    {
        BlockSettle = settle;
        BlockFrame = 0;
        // The whole run at once, or alternate blocks against the bare timer.
        const std::size_t left = Settings.Frames - WarmUpFrames - EngineSeries.Intervals.size();
        EngineBlockLength = Settings.AgainstBareTimer ? std::min(left, BareBlockIntervals) : left;
        // The timer's first expiry is at once and the rest follow every period from there.
        Recorder.Begin(EngineSeries, Clock::now(), EngineBlockLength);
        Engine->StartFrameTimer();
    }

    // As long as the engine's block before it.
    void MeasureBareBlock(SBareLoop& loop) const
    {
        CBlockRecorder recorder;
        const Clock::time_point armed = Clock::now();
        loop.Timer->Arm();
        loop.Timer->Wait(); // the expiry at once settles, as an engine block's first frame does
        recorder.Begin(loop.Series, armed, EngineBlockLength);
        do
            loop.Timer->Wait();
        while (!recorder.Record(Clock::now()));
        loop.Timer->Disarm();
    }

    void Report()
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
        AppendLine(out, "allocations during measured frames: %zu", FrameAllocations());
        Settings.Load->Report(out);
        const SWakeUp wakeUp = ComputeWakeUp(EngineSeries.Lateness);
        AppendLine(out, "wake-up after expiry: median %.3f, 99th percentile %.3f, maximum %.3f ms", wakeUp.Median,
                   wakeUp.Percentile99, wakeUp.Maximum);
        if (Settings.AgainstBareTimer)
            ReportAgainstBareTimer(out, figures);
        std::fputs(out.c_str(), stdout);
        std::fflush(stdout);
    }

    void ReportAgainstBareTimer(std::string& out, const SPacingFigures& engine)
    {
        const SPacingFigures bare = ComputePacing(Bare.Series.Intervals, LongIntervalMs);
        AppendLine(out, "limits: the bare frame timer alone in its loop, and with the window's input: %zu intervals "
                        "each, in %zu blocks of up to %zu alternating with the engine's",
                   bare.Count, Bare.Series.Blocks, BareBlockIntervals);
        AppendLine(out, "%-14s %9s %9s %9s %9s %10s %9s", "", "mean", "std dev", "99th pct", "maximum", "CPU/frame",
                   "wake p99");
        const auto row = [&out](const char* name, const SPacingFigures& figures, const SSeries& series) {
            AppendLine(out, "%-14s %9.3f %9.3f %9.2f %9.2f %10.4f %9.3f ms", name, figures.Mean,
                       figures.StandardDeviation, figures.Percentile99, figures.Maximum, series.CpuPerFrameMs(),
                       ComputeWakeUp(series.Lateness).Percentile99);
        };
        row("engine", engine, EngineSeries);
        row("bare timer", bare, Bare.Series);
        row("with input", ComputePacing(BareWithInput.Series.Intervals, LongIntervalMs), BareWithInput.Series);
        const double engineCpu = EngineSeries.CpuPerFrameMs();
        const double bareCpu = Bare.Series.CpuPerFrameMs();
        const double inputCpu = BareWithInput.Series.CpuPerFrameMs();
        AppendLine(out, "%-14s %9s %9.2f %9.3f %9s %10.2f", "engine / bare", "", engine.StandardDeviation /
                   bare.StandardDeviation, engine.Percentile99 / bare.Percentile99, "", engineCpu / bareCpu);
        AppendLine(out, "CPU per frame of the frame rules' input (mouse samples, a look at the queue): %.4f ms "
                        "(%.2f x the bare timer's)", inputCpu - bareCpu, inputCpu / bareCpu);
        Target(out, "standard deviation at most 1.3 x the bare timer's", "%.2f x",
               engine.StandardDeviation / bare.StandardDeviation, engine.StandardDeviation <= 1.3 * bare.StandardDeviation);
        Target(out, "99th percentile at most 0.1 ms above the bare timer's", "%+.3f ms",
               engine.Percentile99 - bare.Percentile99, engine.Percentile99 <= bare.Percentile99 + 0.1);
        // Against the loop that reads window input as the frame rules ask and does nothing more, not
        // against the bare timer: every frame samples the mouse buttons and, after it, looks at the
        // input queue, and these cost what the backend's input costs (SDL's pump with its reads of the
        // display connection; under Wine, a look at the display's queue with every sample and round
        // trips to the Wine server). No loop that keeps the frame rules does less; the row above shows
        // what that costs.
        Target(out, "CPU per idle frame at most 1.2 x that of the timer with the window's input", "%.2f x",
               engineCpu / inputCpu, engineCpu <= 1.2 * inputCpu);
    }

    void Target(std::string& out, const char* target, const char* format, double figure, bool holds)
    {
        Missed = Missed || !holds;
        const std::string line = std::string("target: ") + target + ": " + (holds ? "holds" : "MISSED") + " (" +
                                 format + ")";
        AppendLine(out, line.c_str(), figure);
    }

    IVantor* Engine;
    SSettings Settings;
    SBareLoop Bare;
    SBareLoop BareWithInput;
    SSeries EngineSeries;
    CBlockRecorder Recorder;
    std::size_t FrameNumber = 0;
    std::size_t BlockFrame = 0;
    std::size_t BlockSettle = 0;
    std::size_t EngineBlockLength = 0;
    bool Finished = false;
    bool Missed = false;
};
} // namespace

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CFramePacingController(engine, ReadSettings());
}
