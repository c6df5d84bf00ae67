#pragma once

#include <chrono>

// User plus kernel CPU time the whole process has used so far.
std::chrono::nanoseconds ProcessCpuTime();
