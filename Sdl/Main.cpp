// Program entry on Linux: run the engine, turn any error that escapes into one box, exit 0.
#include "Host/CApplication.h"
#include "Sdl/CSdlPlatform.h"
#include "Shared/FatalError.h"

#include <memory>

int main()
{
    try
    {
        CApplication application(std::make_unique<CSdlPlatform>());
        application.Run();
    }
    catch (...)
    {
        ShowFatalError(FatalErrorText());
    }
    return 0;
}
