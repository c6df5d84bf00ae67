// A game for the web tests: it reports keys, focus, the A key's state and mouse presses, and plays sounds. It asks
// for a clip before the player's first key; then A plays a good clip, S one the host accepts but the
// browser cannot decode, and any other key nothing. Its shader has a fault on line 5 of the file.
// Escape with a Shift held quits, with a Control held calls exit().
#include "Vantor/CVantorException.h"
#include "Vantor/IMainController.h"
#include "tests/support/DataFolder.h"
#include "tests/support/WavWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace
{
void Report(const char* format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

// A quarter of a second of a loud tone at 44.1 kHz, or the same under a format tag nobody decodes.
std::vector<std::uint8_t> Tone(std::uint16_t formatTag)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 11025; ++i)
        samples.push_back(static_cast<std::int16_t>(16000 * std::sin(i * 0.06)));
    return MakeWav({formatTag, 1, 44100, 16, Samples16(samples), {}});
}

class CWebTestGame final : public IMainController
{
public:
    explicit CWebTestGame(IVantor* engine) : Engine(engine)
    {
        Engine->SetCaption("Vantor web test");
        Engine->SetSize(800, 600);
        Engine->SetUseShaders(true);
    }
    void Start() override
    {
        // Its built-in names make the page put more declarations in front of it; the log still says line 5.
        constexpr std::string_view broken = "#version 110\n"
                                            "void main()\n"
                                            "{\n"
                                            "    vec4 colour = gl_Color * gl_TexCoord[0];\n"
                                            "    gl_FragColor = colour + Undeclared;\n"
                                            "}\n";
        std::ofstream(DataFilePath("Broken.frag")) << broken;
        try
        {
            Engine->LoadShader("Broken.frag");
        }
        catch (const CVantorException&)
        {
        }
        for (const auto& [name, clip] : {std::pair{"Good.wav", Tone(1)}, {"Damaged.wav", Tone(0x1234)}})
        {
            std::ofstream(DataFilePath(name), std::ios::binary)
                .write(reinterpret_cast<const char*>(clip.data()), static_cast<std::streamsize>(clip.size()));
            Engine->LoadSound(name);
        }
        Engine->PlaySound("Good.wav");
        Report("%s\n", "asked before the first key");
        Engine->StartFrameTimer();
    }
    void Frame() override
    {
        if (const bool down = Engine->IsKeyDown(Key::A); down != ADown)
            Report("frame: A down=%d\n", ADown = down);
        std::int32_t x = 0;
        std::int32_t y = 0;
        if (Engine->IsMousePressed(false) && Engine->GetMousePosition(x, y))
            Report("mouse pressed at %d %d\n", x, y);
    }
    void KeyDown(Key key) override
    {
        if (key == Key::Escape && Engine->IsKeyDown(Key::LeftShift))
            Engine->Quit();
        if (key == Key::Escape && Engine->IsKeyDown(Key::LeftControl))
            std::exit(0);
        if (key == Key::A || key == Key::S)
            Engine->PlaySound(key == Key::A ? "Good.wav" : "Damaged.wav");
        Report("key down %d\n", static_cast<int>(key));
    }
    void KeyUp(Key key) override { Report("key up %d\n", static_cast<int>(key)); }
    ~CWebTestGame() override { Report("%s\n", "destroyed"); }
    void FocusGained() override { Report("%s\n", "focus gained"); }
    void FocusLost() override { Report("%s\n", "focus lost"); }
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Reserved7(std::int32_t) override {}

private:
    IVantor* Engine;
    bool ADown = false;
};
} // namespace

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CWebTestGame(engine);
}
