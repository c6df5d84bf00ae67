#include "bench/FrameStatistics.h"

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
