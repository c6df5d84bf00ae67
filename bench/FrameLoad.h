#pragma once

#include "Vantor/IVantor.h"

#include <cstddef>
#include <string>

// Frames left out of every figure: the software renderer compiles its shaders in the first ones.
constexpr std::size_t WarmUpFrames = 10;

// What a frame of the benchmark does besides being measured (VANTOR_BENCH_MODE names one).
class IFrameLoad
{
public:
    virtual ~IFrameLoad() = default;
    // Once, before the frame timer starts: loading belongs here, not in the measured frames.
    virtual void Start(IVantor&) {}
    virtual void Frame(IVantor& engine) = 0;
    // Lines of its own for the end of the report; none by default.
    virtual void Report(std::string&) const {}
};

// The loop's own cost: no OpenGL call at all.
class CIdleLoad final : public IFrameLoad
{
public:
    void Frame(IVantor&) override {}
};

// An empty picture each frame: adds the clear and the buffer swap.
class CPresentLoad final : public IFrameLoad
{
public:
    void Frame(IVantor& engine) override
    {
        engine.Clear();
        engine.Present();
    }
};
