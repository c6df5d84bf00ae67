// The web benchmark's idle game: each frame only marks its start for the page's observer.
#include "Vantor/IMainController.h"

#include <emscripten/emscripten.h>

namespace
{
class CIdleGame final : public IMainController
{
public:
    explicit CIdleGame(IVantor* engine) : Engine(engine)
    {
        Engine->SetCaption("Vantor idle");
        Engine->SetSize(800, 600);
        Engine->SetUseShaders(false);
    }
    void Start() override { Engine->StartFrameTimer(); }
    void Frame() override { EM_ASM(__frame()); }
    void KeyDown(Key) override {}
    void KeyUp(Key) override {}
    void FocusGained() override {}
    void FocusLost() override {}
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Reserved7(std::int32_t) override {}

private:
    IVantor* Engine;
};
} // namespace

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CIdleGame(engine);
}
