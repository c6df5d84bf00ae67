// An example game on the Vantor engine: it draws the whole window with a fragment shader and plays
// a chime when the space bar is pressed; Escape ends it. Everything goes through IVantor.
#include "Vantor/IMainController.h"

#include <cstdint>

namespace
{
constexpr std::int32_t Width = 640;
constexpr std::int32_t Height = 480;

class CExampleGame final : public IMainController
{
public:
    explicit CExampleGame(IVantor& engine) : Engine(engine)
    {
        // Configuration belongs in the constructor: it must be settled before start-up, and shaders
        // in particular are available only when asked for here.
        Engine.SetCaption("Vantor example: shader and sound");
        Engine.SetSize(Width, Height);
        Engine.SetUseShaders(true);
    }

    void Start() override
    {
        // Files come from the Data folder beside the program. A failure here (a missing file, a
        // shader that does not compile) ends the program with a box that names the file.
        Engine.LoadShader("Rings.frag");
        Engine.LoadSound("Chime.wav");
        // Arborath's font: the example's CMakeLists.txt names this one file of Arborath's data.
        Engine.LoadFont("Lucida Console_14.bmp");
        Engine.SetFont("Lucida Console_14.bmp");
        Engine.StartFrameTimer();
    }

    void Frame() override
    {
        // Keys pressed since the last frame: the engine clears them after each one.
        if (Engine.IsKeyPressed(Key::Space))
        {
            // Returns at once; a chime still playing starts again from the beginning.
            Engine.PlaySound("Chime.wav");
            ChimeFrames = 40;
        }
        // As the close button does: the program ends once this frame is over.
        if (Engine.IsKeyPressed(Key::Escape))
            Engine.Quit();

        Engine.Clear();
        // The time rides in the texture coordinate, whole part the frame, fraction the position.
        // The corners go counter-clockwise on the screen, or the quad would be culled.
        const auto frame = static_cast<float>(FrameCount % 1000);
        const float w = static_cast<float>(Width);
        const float h = static_cast<float>(Height);
        Engine.DrawShaderQuad({0, 0}, frame, 0.0f, {0, h}, frame, 1.0f, {w, h}, frame + 0.999f, 1.0f, {w, 0},
                              frame + 0.999f, 0.0f, "Rings.frag");
        Engine.DrawText("Press SPACE to ring the chime, ESCAPE to leave", 20, 20);
        if (ChimeFrames > 0)
        {
            // Centred by the text's own width in this font.
            Engine.DrawText("Ding!", (Width - Engine.GetTextWidth("Ding!")) / 2, Height / 2 - 7);
            --ChimeFrames;
        }
        Engine.Present();
        ++FrameCount;
    }

    void Reserved1(std::int32_t, std::int32_t) override {}
    void FocusLost() override {}
    void FocusGained() override {}
    void KeyDown(Key) override {}
    void KeyUp(Key) override {}
    void Reserved7(std::int32_t) override {}

private:
    IVantor& Engine;
    std::uint32_t FrameCount = 0;
    int ChimeFrames = 0;
};
} // namespace

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CExampleGame(*engine);
}
