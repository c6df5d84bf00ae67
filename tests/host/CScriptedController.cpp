#include "tests/host/CScriptedController.h"

std::function<IMainController*(IVantor&)> NextController;

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return NextController(*engine);
}

CScriptedController::CScriptedController(IVantor& engine, std::vector<std::string>& log) : Engine(engine), Log(log)
{
}

CScriptedController::~CScriptedController()
{
    Log.push_back("ControllerDestroyed");
}

void CScriptedController::Start()
{
    Log.push_back("Start");
    if (OnStart)
        OnStart(*this);
}

void CScriptedController::Frame()
{
    ++Frames;
    Log.push_back("Frame");
    if (OnFrame)
        OnFrame(*this);
}

void CScriptedController::KeyDown(Key key)
{
    Log.push_back("KeyDown " + std::to_string(static_cast<int>(key)));
    if (OnKeyDown)
        OnKeyDown(*this, key);
}

void CScriptedController::KeyUp(Key key)
{
    Log.push_back("KeyUp " + std::to_string(static_cast<int>(key)));
}
