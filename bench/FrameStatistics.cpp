#include "bench/FrameStatistics.h"

#include "bench/ProcessCpuTime.h"

#include <algorithm>
#include <cmath>
#include <vector>

double NearestRank(std::span<const double> sorted, double fraction)
{
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

SPacingFigures ComputePacing(std::span<const double> intervals, double limit)
{
    SPacingFigures figures;
    figures.Count = intervals.size();
    if (intervals.empty())
        return figures;

    double sum = 0.0;
    for (const double interval : intervals)
        sum += interval;
    figures.Mean = sum / static_cast<double>(intervals.size());

    // Two passes rather than a running sum of squares: the deviations are tiny next to the mean.
    double squares = 0.0;
    for (const double interval : intervals)
        squares += (interval - figures.Mean) * (interval - figures.Mean);
    figures.StandardDeviation = std::sqrt(squares / static_cast<double>(intervals.size()));

    std::vector<double> sorted(intervals.begin(), intervals.end());
    std::sort(sorted.begin(), sorted.end());
    figures.Percentile99 = NearestRank(sorted, 0.99);
    figures.Maximum = sorted.back();
    figures.OverLimit = static_cast<std::size_t>(
        std::count_if(sorted.begin(), sorted.end(), [limit](double interval) { return interval > limit; }));
    return figures;
}

SWakeUp ComputeWakeUp(std::vector<double> lateness)
{
    if (lateness.empty())
        return {};
    std::sort(lateness.begin(), lateness.end());
    return {lateness[lateness.size() / 2], NearestRank(lateness, 0.99), lateness.back()};
}

double SSeries::CpuPerFrameMs() const
{
    return std::chrono::duration<double, std::milli>(Cpu).count() /
           static_cast<double>(std::max<std::size_t>(Intervals.size(), 1));
}

void CBlockRecorder::Begin(SSeries& series, Clock::time_point armed, std::size_t length)
{
    Series = &series;
    Armed = armed;
    Length = length;
    Recorded = 0;
    Referenced = false;
}

bool CBlockRecorder::Record(Clock::time_point now, bool lateByDesign)
{
    const auto milliseconds = [](Clock::duration duration) {
        return std::chrono::duration<double, std::milli>(duration).count();
    };
    if (!Referenced)
    {
        Referenced = true;
        Previous = now;
        CpuAtReference = ProcessCpuTime();
        return false;
    }
    Series->Intervals.push_back(milliseconds(now - Previous));
    if (!lateByDesign)
        Series->Lateness.push_back(std::fmod(milliseconds(now - Armed), FramePeriodMs));
    Previous = now;
    if (++Recorded < Length)
        return false;
    Series->Cpu += ProcessCpuTime() - CpuAtReference;
    ++Series->Blocks;
    return true;
}
