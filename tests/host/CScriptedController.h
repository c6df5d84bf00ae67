#pragma once

#include "Vantor/IMainController.h"

#include <functional>
#include <string>
#include <vector>

// A game whose behaviour each test writes: every call is logged, and hooks run inside the calls.
class CScriptedController final : public IMainController
{
public:
    CScriptedController(IVantor& engine, std::vector<std::string>& log);
    ~CScriptedController() override;

    void Start() override;
    void Reserved1(std::int32_t, std::int32_t) override { Log.push_back("Reserved1"); }
    void Frame() override;
    void FocusLost() override { Log.push_back("FocusLost"); }
    void FocusGained() override { Log.push_back("FocusGained"); }
    void KeyDown(Key key) override;
    void KeyUp(Key key) override;
    void Reserved7(std::int32_t) override { Log.push_back("Reserved7"); }

    IVantor& Engine;
    std::vector<std::string>& Log;
    int Frames = 0;
    std::function<void(CScriptedController&)> OnStart;
    std::function<void(CScriptedController&)> OnFrame;
    std::function<void(CScriptedController&, Key)> OnKeyDown;
};

// What CreateMainController makes next: by default a controller that configures a valid game and
// starts the frame timer.
extern std::function<IMainController*(IVantor&)> NextController;
