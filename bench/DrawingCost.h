#pragma once

#include "bench/FrameLoad.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <memory>

// The game's frame (its picture and 110 glyphs of HUD text) through the engine, and the same
// OpenGL calls made directly, in alternate blocks of frames: the difference in CPU per frame is the
// engine's own cost of drawing.
class CDrawLoad final : public IFrameLoad
{
public:
    void Start(IVantor& engine) override;
    void Frame(IVantor& engine) override;
    void Report(std::string& out) const override;

private:
    void DrawThroughEngine(IVantor& engine) const;
    void DrawDirectly() const;

    std::shared_ptr<CTexture> Background;
    // The direct loop's glyph-sized textures, one per printable character, as fonts have.
    std::array<std::shared_ptr<CTexture>, 95> Glyphs;
    std::size_t Frames = 0;
    std::chrono::nanoseconds PreviousStart{0};
    bool PreviousDirect = false;
    std::chrono::nanoseconds EngineCpu{0};
    std::chrono::nanoseconds DirectCpu{0};
    std::size_t EngineFrames = 0;
    std::size_t DirectFrames = 0;
};
