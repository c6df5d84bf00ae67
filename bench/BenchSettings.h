#pragma once

// The benchmark's settings, from the environment:
//
// VANTOR_BENCH_MODE        what each frame does: "idle" (default, nothing), "present" (Clear and
//                          Present), or "draw" (DrawingCost.cpp: the game's picture and text through
//                          the engine and directly, in alternate blocks)
// VANTOR_BENCH_FRAMES      frames to run, warm-up included (default 510)
// VANTOR_BENCH_SLOW_FRAME  the number of one frame that busy-waits 50 ms, to show how the loop recovers

#include "bench/FrameLoad.h"

#include <cstddef>
#include <memory>
#include <string>

struct SSettings
{
    std::string ModeName = "idle";
    std::unique_ptr<IFrameLoad> Load;
    std::size_t Frames = 0;
    std::size_t SlowFrame = 0; // 0: none
    // Idle frames alternate with the bare timer's: the engine's loop is held to targets against it.
    bool AgainstBareTimer = false;
};

// A bad setting ends the process with status 2 and a usage line, before any window exists: the
// engine's error box would wait for a click that an unattended run never gives.
SSettings ReadSettings();
