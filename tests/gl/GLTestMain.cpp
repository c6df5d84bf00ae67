// A game whose Start runs every test on the live window and context, then asks the window to close.
// The engine's entry always exits with 0: the verdict is GoogleTest's summary line.
#include "tests/gl/GLTestSupport.h"

#include "Vantor/IMainController.h"
#include "Host/RequestClose.h"

#include <gtest/gtest.h>

namespace
{
IVantor* RunningEngine = nullptr;

class CTestRunner final : public IMainController
{
public:
    explicit CTestRunner(IVantor* engine)
    {
        RunningEngine = engine;
        ::testing::InitGoogleTest();
        engine->SetCaption("Vantor GL tests");
        engine->SetSize(800, 600);
        engine->SetUseShaders(true);
    }
    void Start() override
    {
        [[maybe_unused]] const int failures = RUN_ALL_TESTS();
        RequestWindowClose();
    }
    void Frame() override {}
    void Reserved1(std::int32_t, std::int32_t) override {}
    void FocusLost() override {}
    void FocusGained() override {}
    void KeyDown(Key) override {}
    void KeyUp(Key) override {}
    void Reserved7(std::int32_t) override {}
};
} // namespace

IVantor& Engine()
{
    return *RunningEngine;
}

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CTestRunner(engine);
}
