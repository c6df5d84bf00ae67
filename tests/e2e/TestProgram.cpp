// A game for the end-to-end tests: it reports on standard output what the engine does to it.
// VANTOR_TEST_MODE picks a behaviour: "frames" (default), "input" (reports the A key and the
// mouse position every frame), "modifiers" (reports the six modifier keys every frame),
// "throwinframe", "quit" (quits in the third frame).
#include "Vantor/IMainController.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace
{
void Report(const char* format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

class CTestController final : public IMainController
{
public:
    explicit CTestController(IVantor* engine) : Engine(engine)
    {
        Engine->SetCaption("Vantor test");
        Engine->SetSize(800, 600);
        Engine->SetUseShaders(false);
    }
    ~CTestController() override { Report("destroyed frames=%d\n", Frames); }

    void Start() override
    {
        // A finer clock than the tick count, whose steps under Wine are too coarse for this.
        StartTime = std::chrono::steady_clock::now();
        Engine->StartFrameTimer();
    }
    void Frame() override
    {
        using std::chrono::steady_clock;
        const auto after = std::chrono::duration_cast<std::chrono::microseconds>(steady_clock::now() - StartTime);
        if (++Frames == 1 || Frames == 11)
            Report("frame %d after=%ld us ticks=%u\n", Frames, static_cast<long>(after.count()), Engine->GetTicks());
        if (Mode == "throwinframe" && Frames == 3)
            throw std::runtime_error("thrown in frame");
        if (Mode == "quit" && Frames == 3)
            Engine->Quit();
        if (Mode == "input")
        {
            std::int32_t x = 0;
            std::int32_t y = 0;
            Engine->GetMousePosition(x, y);
            Report("frame %d pressed=%d down=%d mouse=%d,%d\n", Frames, Engine->IsKeyPressed(Key::A),
                   Engine->IsKeyDown(Key::A), x, y);
        }
        if (Mode == "modifiers")
        {
            // One digit per key from LeftShift to RightAlt.
            std::string pressed, down;
            for (int key = static_cast<int>(Key::LeftShift); key <= static_cast<int>(Key::RightAlt); ++key)
            {
                pressed += Engine->IsKeyPressed(static_cast<Key>(key)) ? '1' : '0';
                down += Engine->IsKeyDown(static_cast<Key>(key)) ? '1' : '0';
            }
            Report("frame %d pressed=%s down=%s\n", Frames, pressed.c_str(), down.c_str());
        }
        Engine->SetClearColour(0.0f, 0.5f, 1.0f);
        Engine->Clear();
        Engine->Present();
        if (Frames % 50 == 0)
            Report("frames=%d\n", Frames);
    }
    void FocusGained() override { Report("%s\n", "focus gained"); }
    void FocusLost() override { Report("%s\n", "focus lost"); }
    void KeyDown(Key key) override { Report("key down %d\n", static_cast<int>(key)); }
    void KeyUp(Key key) override { Report("key up %d\n", static_cast<int>(key)); }
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Reserved7(std::int32_t) override {}

private:
    IVantor* Engine;
    const std::string Mode = std::getenv("VANTOR_TEST_MODE") ? std::getenv("VANTOR_TEST_MODE") : "frames";
    std::chrono::steady_clock::time_point StartTime;
    int Frames = 0;
};
} // namespace

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CTestController(engine);
}
