#pragma once

#include <chrono>

// User plus kernel CPU time the whole process has used so far; under Wine, the calling thread.
std::chrono::nanoseconds ProcessCpuTime();
