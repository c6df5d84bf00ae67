#include "bench/DrawingCost.h"

#include "Vantor/GL.h"
#include "bench/AppendLine.h"
#include "bench/ProcessCpuTime.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace
{
// The texts of a HUD frame, with the offering up.
constexpr std::array<std::pair<std::string_view, std::pair<int, int>>, 10> HudLines{{
    {"Favour: 0%", {320, 20}},
    {"Lumber: 9", {20, 65}},
    {"Sacrifice it (a)", {20, 95}},
    {"Trade it (s)", {20, 125}},
    {"Efficiency: 100%", {20, 155}},
    {"Lumber: 9", {550, 65}},
    {"Sacrifice it (k)", {550, 95}},
    {"Trade it (l)", {550, 125}},
    {"???", {360, 240}},
    {"(space)", {330, 270}},
}};
constexpr std::size_t HudGlyphs = [] {
    std::size_t glyphs = 0;
    for (const auto& line : HudLines)
        glyphs += line.first.size();
    return glyphs;
}();
static_assert(HudGlyphs == 110);
constexpr std::size_t BlockFrames = 50;

void Quad(const CTexture& texture, float left, float top)
{
    const float right = left + static_cast<float>(texture.GetWidth());
    const float bottom = top + static_cast<float>(texture.GetHeight());
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, texture.GetTextureId());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glVertex2f(left, top);
    glTexCoord2f(texture.GetMaxU(), 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glVertex2f(right, top);
    glTexCoord2f(texture.GetMaxU(), texture.GetMaxV());
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glVertex2f(right, bottom);
    glTexCoord2f(0.0f, texture.GetMaxV());
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glVertex2f(left, bottom);
    glEnd();
}

double PerFrameMs(std::chrono::nanoseconds cpu, std::size_t frames)
{
    return std::chrono::duration<double, std::milli>(cpu).count() /
           static_cast<double>(std::max<std::size_t>(frames, 1));
}
} // namespace

void CDrawLoad::Start(IVantor& engine)
{
    engine.LoadImage("Background.bmp", false);
    engine.LoadFont("Lucida Console_14.bmp");
    engine.SetFont("Lucida Console_14.bmp");
    Background = engine.GetTexture("Background.bmp");
    const std::vector<std::uint32_t> pixels(8 * 14, 0xFFFFFFFFu);
    for (std::size_t glyph = 0; glyph < Glyphs.size(); ++glyph)
        Glyphs[glyph] = engine.CreateTexture("Bench glyph " + std::to_string(glyph), pixels, 8, 14);
}

void CDrawLoad::Frame(IVantor& engine)
{
    // CPU from one frame's start to the next goes to the way the first was drawn.
    const auto now = ProcessCpuTime();
    if (Frames > WarmUpFrames)
    {
        (PreviousDirect ? DirectCpu : EngineCpu) += now - PreviousStart;
        ++(PreviousDirect ? DirectFrames : EngineFrames);
    }
    const bool direct = (Frames / BlockFrames) % 2 == 1;
    PreviousStart = now;
    PreviousDirect = direct;
    ++Frames;
    if (direct)
        DrawDirectly();
    else
        DrawThroughEngine(engine);
    engine.Present();
}

void CDrawLoad::Report(std::string& out) const
{
    const double engine = PerFrameMs(EngineCpu, EngineFrames);
    const double direct = PerFrameMs(DirectCpu, DirectFrames);
    AppendLine(out, "drawn: one 800 x 600 picture and %zu glyphs a frame", HudGlyphs);
    AppendLine(out, "CPU per frame through the engine: %.3f ms (%zu frames)", engine, EngineFrames);
    AppendLine(out, "CPU per frame, same OpenGL calls made directly: %.3f ms (%zu frames)", direct, DirectFrames);
    AppendLine(out, "engine overhead: %.1f %%", (engine / direct - 1.0) * 100.0);
}

void CDrawLoad::DrawThroughEngine(IVantor& engine) const
{
    engine.Clear();
    engine.DrawImage(*Background, 0, 0, -1, -1, 0.0f, 0.0f);
    engine.SetFont("Lucida Console_14.bmp");
    for (const auto& [text, at] : HudLines)
        engine.DrawText(text, at.first, at.second);
}

void CDrawLoad::DrawDirectly() const
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Quad(*Background, 0.0f, 0.0f);
    for (const auto& [text, at] : HudLines)
        for (std::size_t index = 0; index < text.size(); ++index)
            Quad(*Glyphs[static_cast<unsigned char>(text[index]) % Glyphs.size()],
                 static_cast<float>(at.first) + 8.0f * static_cast<float>(index), static_cast<float>(at.second));
}
