#include "tests/host/HostTest.h"

std::function<IMainController*(IVantor&)> NextController;

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return NextController(*engine);
}
