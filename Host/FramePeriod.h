#pragma once

#include <cstdint>

// The engine's one frame period: every backend's timer and the page's clock count in it.
inline constexpr std::uint32_t FramePeriodMs = 20;
