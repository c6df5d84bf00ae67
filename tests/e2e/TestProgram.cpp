// A game for the integration tests: it reports on standard output what the engine does to it.
// VANTOR_TEST_MODE picks a behaviour: "frames" (default), "input" (reports the A key every frame),
// "nocaption", "nosize", "nostart" (never starts the frame timer), "throwinframe".
#include "Vantor/IMainController.h"
#include "tests/support/WindowReport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace
{
std::string Mode()
{
    const char* mode = std::getenv("VANTOR_TEST_MODE");
    return mode != nullptr ? mode : "frames";
}

void Report(const char* format, auto... values)
{
    std::printf(format, values...);
    std::printf("\n");
    std::fflush(stdout);
}

class CTestController final : public IMainController
{
public:
    explicit CTestController(IVantor* engine) : Engine(engine), TestMode(Mode())
    {
        if (TestMode != "nocaption")
            Engine->SetCaption("Vantor test");
        if (TestMode != "nosize")
            Engine->SetSize(800, 600);
        Engine->SetUseShaders(false);
    }
    ~CTestController() override { Report("destroyed frames=%d", Frames); }

    void Start() override
    {
        Report("start ticks=%u", Engine->GetTicks());
        if (TestMode == "nostart")
            return;
        // A finer clock than the tick count, whose steps under Wine are too coarse for this.
        StartTime = std::chrono::steady_clock::now();
        Engine->StartFrameTimer();
    }
    void Frame() override
    {
        ++Frames;
        if (Frames == 1)
        {
            const auto after = std::chrono::steady_clock::now() - StartTime;
            Report("first frame after=%ld us",
                   static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(after).count()));
            ReportWindowGeometry();
        }
        if (TestMode == "throwinframe" && Frames == 3)
            throw std::runtime_error("thrown in frame");
        if (TestMode == "input")
            Report("frame %d pressed=%d down=%d", Frames, Engine->IsKeyPressed(Key::A) ? 1 : 0,
                   Engine->IsKeyDown(Key::A) ? 1 : 0);
        Engine->SetClearColour(0.0f, 0.5f, 1.0f);
        Engine->Clear();
        Engine->Present();
        if (Frames % 50 == 0)
            Report("frames=%d", Frames);
    }
    void FocusGained() override { Report("focus gained"); }
    void FocusLost() override { Report("focus lost"); }
    void KeyDown(Key key) override { Report("key down %d", static_cast<int>(key)); }
    void KeyUp(Key key) override { Report("key up %d", static_cast<int>(key)); }
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Reserved7(std::int32_t) override {}

private:
    IVantor* Engine;
    std::string TestMode;
    std::chrono::steady_clock::time_point StartTime;
    int Frames = 0;
};
} // namespace

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CTestController(engine);
}
