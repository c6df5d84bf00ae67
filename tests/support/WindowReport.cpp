#include "tests/support/WindowReport.h"

#include <cstdio>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void ReportWindowGeometry()
{
    HWND window = FindWindowW(L"VantorMainWindow", nullptr);
    RECT outer{};
    RECT client{};
    POINT origin{0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    std::printf("geometry window=%ld,%ld,%ld,%ld client=%ld,%ld origin=%ld,%ld screen=%d,%d style=0x%08lX "
                "exstyle=0x%08lX caption=%ls\n",
                outer.left, outer.top, outer.right, outer.bottom, client.right, client.bottom, origin.x, origin.y,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)), caption);
    std::fflush(stdout);
}
#else
void ReportWindowGeometry() {}
#endif
