#pragma once

#include "Host/CApplication.h"
#include "Vantor/CVantorException.h"
#include "Vantor/IMainController.h"
#include "tests/host/CFakePlatform.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

using Lines = std::vector<std::string>;
using THook = std::function<void(IVantor&)>;

// A game whose behaviour each test writes: every call is logged, and the hooks run inside the calls.
class CScriptedController final : public IMainController
{
public:
    CScriptedController(IVantor& engine, Lines& log, THook start, THook frame, THook keyDown)
        : Engine(engine), Log(log), OnStart(std::move(start)), OnFrame(std::move(frame)), OnKeyDown(std::move(keyDown))
    {
    }
    ~CScriptedController() override { Log.push_back("ControllerDestroyed"); }
    void Start() override { Call("Start", OnStart); }
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Frame() override { Call("Frame", OnFrame); }
    void FocusLost() override { Log.push_back("FocusLost"); }
    void FocusGained() override { Log.push_back("FocusGained"); }
    void KeyDown(Key key) override { Call("KeyDown " + std::to_string(static_cast<int>(key)), OnKeyDown); }
    void KeyUp(Key key) override { Log.push_back("KeyUp " + std::to_string(static_cast<int>(key))); }
    void Reserved7(std::int32_t) override {}

private:
    void Call(const std::string& call, const THook& hook)
    {
        Log.push_back(call);
        if (hook)
            hook(Engine);
    }
    IVantor& Engine;
    Lines& Log;
    THook OnStart, OnFrame, OnKeyDown;
};

// What CreateMainController makes next.
inline std::function<IMainController*(IVantor&)> NextController;

// CApplication on the fake backend and fake OpenGL, all calls logged in one place.
class HostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Application.reset();
        Log.clear();
        auto platform = std::make_unique<CFakePlatform>(Log);
        Platform = platform.get();
        Application = std::make_unique<CApplication>(std::move(platform));
        FakeGL::Log = &Log;
        FakeGL::Version = "2.1 Fake";
        FakeGL::ResetShaderObjects();
        NextController = [this](IVantor& engine) {
            Configure(engine);
            return new CScriptedController(engine, Log, OnStart, OnFrame, OnKeyDown);
        };
    }
    void TearDown() override { FakeGL::Log = nullptr; }

    // Runs the game through these steps; the window is closed after the last.
    void Run(const std::vector<CFakePlatform::SStep>& steps = {})
    {
        for (const auto& step : steps)
            Platform->Then(step);
        Platform->Then({false, {CFakePlatform::Close()}});
        Application->Run();
    }

    // The log entries that begin with one of the prefixes, in order.
    Lines Only(std::initializer_list<std::string> prefixes) const
    {
        Lines kept;
        for (const auto& entry : Log)
            if (std::any_of(prefixes.begin(), prefixes.end(), [&](const auto& p) { return entry.starts_with(p); }))
                kept.push_back(entry);
        return kept;
    }
    void File(const std::string& name, std::vector<std::uint8_t> bytes, EFileRead outcome = EFileRead::Ok)
    {
        Platform->DataFiles[name] = {std::move(bytes), outcome};
    }

    Lines Log;
    CFakePlatform* Platform = nullptr;
    std::unique_ptr<CApplication> Application;
    bool UseShaders = false;
    std::function<void(IVantor&)> Configure = [this](IVantor& engine) {
        engine.SetCaption("Test game");
        engine.SetSize(800, 600);
        engine.SetUseShaders(UseShaders);
    };
    THook OnStart = [](IVantor& engine) { engine.StartFrameTimer(); };
    THook OnFrame, OnKeyDown;
};
