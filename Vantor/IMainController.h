#pragma once

#include "Vantor/IVantor.h"
#include "Vantor/Key.h"

#include <cstdint>

// The game, as the engine drives it. Every call comes on the engine's one thread.
class IMainController
{
public:
    // Once, after the window and the OpenGL context exist; the game loads its data and starts the frame timer.
    virtual void Start() = 0;
    virtual void Reserved1(std::int32_t, std::int32_t) = 0;
    // Once per frame-timer signal while the timer runs.
    virtual void Frame() = 0;
    virtual void FocusLost() = 0;
    virtual void FocusGained() = 0;
    // Auto-repeats included.
    virtual void KeyDown(Key key) = 0;
    virtual void KeyUp(Key key) = 0;
    virtual void Reserved7(std::int32_t) = 0;

    // The engine owns the controller and destroys it when its loop ends.
    virtual ~IMainController() = default;
};

// Provided by the game; called once by the engine before start-up, so the constructor can configure it.
extern "C" IMainController* CreateMainController(IVantor* engine);
