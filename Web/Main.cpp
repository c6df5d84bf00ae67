// Program entry in a web page: start the engine, then run its loop whenever the browser calls back
// (a frame falls due, input arrives); any error that escapes shows over the canvas and ends it.
// When the program ends, by its close or by exit(), the page says so and offers to start again.
// Frames are woken by a timer at each due time, not by requestAnimationFrame: that one follows the
// display, starting frames on a 16.7/33.3 ms beat at 60 Hz and unable to give 50 a second below
// 50 Hz, and a busy browser may call it far less often (10 times a second, seen headless here).
#include "Host/CApplication.h"
#include "Shared/FatalError.h"
#include "Web/CWebPlatform.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <memory>

namespace
{
CApplication* Application = nullptr;
CWebPlatform* Platform = nullptr;
bool Running = false;
bool InTurn = false;
long Timeout = 0;

void Turn();

void OnTimeout(void*)
{
    Timeout = 0;
    Turn();
}

// No frame runs after an error or the close: the loop stops. After the close the game is destroyed
// as on the desktop; after an error it is left as it was.
void Stop()
{
    Running = false;
    if (Timeout != 0)
        emscripten_clear_timeout(Timeout);
    Timeout = 0;
}

// One turn of the host's loop, then a wake-up at the time the next frame falls due.
void Turn()
{
    // A handler that the turn itself set off has its event dispatched by this turn already.
    if (!Running || InTurn)
        return;
    InTurn = true;
    try
    {
        if (!Application->Step())
        {
            Stop();
            Application->End();
            Application->EndGame();
            Platform->ShowEnded();
        }
    }
    catch (...)
    {
        // As on the desktop, the timer is given back before the error is shown.
        Stop();
        Application->End();
        ShowFatalError(FatalErrorText());
    }
    InTurn = false;
    if (!Running)
        return;
    // One wake-up at a time, at the next due time: whole milliseconds, rounded up, since a browser
    // timer never fires early but may round a fraction down.
    if (Timeout != 0)
        emscripten_clear_timeout(Timeout);
    Timeout = 0;
    if (const double left = Platform->MillisecondsToNextFrame(); left >= 0.0)
        Timeout = emscripten_set_timeout(OnTimeout, std::ceil(left), nullptr);
}

// A game that calls exit() ends here, wherever it called it from, and the host's shutdown is skipped
// as on the desktop.
void OnExit()
{
    Stop();
    if (Platform != nullptr)
        Platform->ShowEnded();
}
} // namespace

int main()
{
    try
    {
        auto platform = std::make_unique<CWebPlatform>();
        Platform = platform.get();
        Platform->SetWake(Turn);
        Platform->SetOnExit(OnExit);
        // Kept for the life of the page: the browser goes on calling back after main returns.
        Application = new CApplication(std::move(platform));
        Application->Begin();
    }
    catch (...)
    {
        ShowFatalError(FatalErrorText());
        return 0;
    }
    // The first frame at once.
    Running = true;
    Turn();
    return 0;
}
