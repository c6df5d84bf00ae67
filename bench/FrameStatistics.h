#pragma once

#include <cstddef>
#include <span>

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
