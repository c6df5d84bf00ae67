// Program entry on Windows: run the engine, turn any error that escapes into one box, exit 0.
#include "Host/CApplication.h"
#include "Shared/FatalError.h"
#include "Windows/CWin32Platform.h"
#include "Windows/Win32.h"

#include <memory>

// Only the module handle is used; the show state does not come from the command line.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    try
    {
        CApplication application(std::make_unique<CWin32Platform>(instance));
        application.Run();
    }
    catch (...)
    {
        ShowFatalError(FatalErrorText());
    }
    return 0;
}
