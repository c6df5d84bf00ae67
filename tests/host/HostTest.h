#pragma once

#include "Host/CApplication.h"
#include "tests/host/CFakePlatform.h"
#include "tests/host/CScriptedController.h"
#include "tests/host/FakeGL.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

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
        NextController = [this](IVantor& engine) {
            Configure(engine);
            auto* controller = new CScriptedController(engine, Log);
            controller->OnStart = OnStart;
            controller->OnFrame = OnFrame;
            controller->OnKeyDown = OnKeyDown;
            return controller;
        };
    }

    void TearDown() override
    {
        FakeGL::Log = nullptr;
        NextController = nullptr;
    }

    // The log entries that begin with one of the prefixes, in order.
    std::vector<std::string> Only(std::initializer_list<std::string> prefixes) const
    {
        std::vector<std::string> kept;
        for (const auto& entry : Log)
            if (std::any_of(prefixes.begin(), prefixes.end(),
                            [&](const std::string& prefix) { return entry.rfind(prefix, 0) == 0; }))
                kept.push_back(entry);
        return kept;
    }

    // The vertices drawn, in order.
    std::vector<std::string> Vertices() const { return Only({"glVertex"}); }

    int Count(const std::string& entry) const { return static_cast<int>(std::count(Log.begin(), Log.end(), entry)); }

    std::vector<std::string> Log;
    CFakePlatform* Platform = nullptr;
    std::unique_ptr<CApplication> Application;
    std::function<void(IVantor&)> Configure = [](IVantor& engine) {
        engine.SetCaption("Test game");
        engine.SetSize(800, 600);
    };
    std::function<void(CScriptedController&)> OnStart = [](CScriptedController& game) {
        game.Engine.StartFrameTimer();
    };
    std::function<void(CScriptedController&)> OnFrame;
    std::function<void(CScriptedController&, Key)> OnKeyDown;
};

// The message of the TError that the call throws, or "no error".
template <typename TError> std::string ErrorOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const TError& error)
    {
        return error.what();
    }
    return "no error";
}

// Runs and expects the exception type with exactly that message.
template <typename TError> void ExpectRunFails(CApplication& application, const std::string& message)
{
    try
    {
        application.Run();
        ADD_FAILURE() << "Run returned; expected \"" << message << "\"";
    }
    catch (const TError& error)
    {
        EXPECT_EQ(error.what(), message);
    }
}
