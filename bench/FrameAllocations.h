#pragma once

#include <cstddef>

// Allocations made while counting is on, by any code in the process: the benchmark replaces the
// global operator new to count them. The engine and a game that allocates nothing per frame should
// leave the count at zero over every measured frame.
void CountFrameAllocations(bool on);
std::size_t FrameAllocations();
