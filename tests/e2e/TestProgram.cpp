// A game for the end-to-end tests: it reports on standard output what the engine does to it.
// VANTOR_TEST_MODE picks a behaviour: "frames" (default), "input" (reports the A key every frame),
// "nostart" (never starts the frame timer), "throwinframe", "scene" (pictures, triangles and text).
#include "Vantor/IMainController.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/DataFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// The engine's operations share these names with the system's narrow/wide macros.
#undef LoadImage
#undef DrawText
#endif

namespace
{
#ifdef _WIN32
// Prints the window's geometry as the system sees it, on one line beginning "geometry ". Where the
// display server can be asked directly, the tests ask it.
void ReportWindowGeometry()
{
    HWND window = FindWindowW(L"VantorMainWindow", nullptr);
    RECT outer{}, client{};
    POINT origin{0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    std::printf("geometry window=%ld,%ld,%ld,%ld client=%ld,%ld origin=%ld,%ld screen=%d,%d style=0x%08lX "
                "exstyle=0x%08lX caption=%ls\n",
                outer.left, outer.top, outer.right, outer.bottom, client.right, client.bottom, origin.x, origin.y,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)), caption);
    std::fflush(stdout);
}
#else
void ReportWindowGeometry() {}
#endif

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
        Report("start\n");
        if (Mode == "scene")
        {
            // A picture of our own with both colour keys in it: white is transparent, magenta half-transparent grey.
            const auto colour = [](std::int32_t x, std::int32_t y) {
                const std::uint32_t keys[] = {0xFFFFFF, 0xFF00FF};
                const int square = (x / 8 + y / 8) % 5;
                return square < 2 ? keys[square] : std::uint32_t(x * 4 << 16 | y * 5 << 8 | 64);
            };
            const auto picture = MakeBmp({64, 48, 24, false, colour});
            std::ofstream(DataFilePath("Scene.bmp"), std::ios::binary)
                .write(reinterpret_cast<const char*>(picture.data()), static_cast<std::streamsize>(picture.size()));
            Engine->LoadImage("Scene.bmp", true);
            Engine->LoadFont("Lucida Console_14.bmp");
        }
        // A finer clock than the tick count, whose steps under Wine are too coarse for this.
        StartTime = std::chrono::steady_clock::now();
        if (Mode != "nostart")
            Engine->StartFrameTimer();
    }
    void Frame() override
    {
        using std::chrono::steady_clock;
        const auto after = std::chrono::duration_cast<std::chrono::microseconds>(steady_clock::now() - StartTime);
        if (++Frames == 1 || Frames == 11)
            Report("frame %d after=%ld us ticks=%u\n", Frames, static_cast<long>(after.count()), Engine->GetTicks());
        if (Frames == 1)
            ReportWindowGeometry();
        if (Mode == "throwinframe" && Frames == 3)
            throw std::runtime_error("thrown in frame");
        if (Mode == "input")
            Report("frame %d pressed=%d down=%d\n", Frames, Engine->IsKeyPressed(Key::A), Engine->IsKeyDown(Key::A));
        if (Mode == "scene")
            return DrawScene();
        Engine->SetClearColour(0.0f, 0.5f, 1.0f);
        Engine->Clear();
        Engine->Present();
        if (Frames % 50 == 0)
            Report("frames=%d\n", Frames);
    }
    void FocusGained() override {}
    void FocusLost() override {}
    void KeyDown(Key key) override { Report("key down %d\n", static_cast<int>(key)); }
    void KeyUp(Key key) override { Report("key up %d\n", static_cast<int>(key)); }
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Reserved7(std::int32_t) override {}

private:
    void DrawScene()
    {
        Engine->SetClearColour(0.1f, 0.2f, 0.3f);
        Engine->Clear();
        const auto picture = Engine->GetTexture("Scene.bmp");
        Engine->DrawImage(*picture, 0, 0, 800, 600, 0.0f, 0.0f);
        Engine->DrawImage(*picture, 400, 300, -1, -1, 0.5f, 0.5f);
        Engine->SetAlpha(0.5f);
        Engine->DrawImage(*picture, 700, 500, -2, -1, 0.0f, 0.0f);
        Engine->SetAlpha(1.0f);
        Engine->DrawTriangle({100, 100}, {1, 0, 0}, {100, 300}, {0, 1, 0}, {300, 100}, {0, 0, 1});
        // In front of the pictures (they lie at z = 0), so the depth test lets it through.
        Engine->DrawFlatTriangle({500, 100, -0.5f}, {500, 250, -0.5f}, {700, 100, -0.5f}, {1, 1, 0});
        Engine->SetFont("Lucida Console_14.bmp");
        Engine->DrawText("Vantor test scene: ABC abc 0123456789 !?()[]{}<>", 20, 560);
        Engine->DrawText("Favour: -12%", 320, 20);
        Engine->Present();
        if (Frames == 3)
            Report("scene drawn\n");
    }

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
