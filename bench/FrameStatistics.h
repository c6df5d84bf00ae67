#pragma once

#include <chrono>
#include <cstddef>
#include <span>
#include <vector>

constexpr double FramePeriodMs = 20.0; // the engine's frame timer

// Summary of a run's frame intervals, all in milliseconds.
struct SPacingFigures
{
    std::size_t Count = 0;
    double Mean = 0.0;
    double StandardDeviation = 0.0; // of the population: every interval of the run is in it
    double Percentile99 = 0.0;      // nearest rank
    double Maximum = 0.0;
    std::size_t OverLimit = 0;      // intervals longer than the limit given
};

// The value at the given fraction of sorted, non-empty values, by nearest rank.
double NearestRank(std::span<const double> sorted, double fraction);

// Empty input gives all zeros.
SPacingFigures ComputePacing(std::span<const double> intervals, double limit);

// How long after its timer's expiry each frame came: the loop's and the scheduler's delay together,
// apart from the timer's own evenness.
struct SWakeUp
{
    double Median = 0.0;
    double Percentile99 = 0.0;
    double Maximum = 0.0;
};

// Empty input gives all zeros.
SWakeUp ComputeWakeUp(std::vector<double> lateness);

// One loop's measured frames, gathered in blocks: the interval each frame ends, how long after its
// timer's expiry it came, and the process CPU used from each block's reference frame to its last.
struct SSeries
{
    std::vector<double> Intervals;
    std::vector<double> Lateness;
    std::chrono::nanoseconds Cpu{0};
    std::size_t Blocks = 0;

    double CpuPerFrameMs() const;
};

// A block of a series: one reference frame, then a number of measured ones. It allocates nothing
// once the series has room for all its intervals.
class CBlockRecorder
{
public:
    using Clock = std::chrono::steady_clock;

    // The timer was armed at armed, with its first expiry at once and one every period after it.
    void Begin(SSeries& series, Clock::time_point armed, std::size_t length);
    // True when this frame completed the block. A frame late by design is left out of the lateness.
    bool Record(Clock::time_point now, bool lateByDesign = false);

private:
    SSeries* Series = nullptr;
    Clock::time_point Armed;
    Clock::time_point Previous;
    std::chrono::nanoseconds CpuAtReference{0};
    std::size_t Length = 0;
    std::size_t Recorded = 0;
    bool Referenced = false;
};
