#include "Host/RequestClose.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwchar>

namespace
{
// Only this thread's own main window: other programs in the same Wine prefix have one too.
BOOL CALLBACK CloseIfMain(HWND window, LPARAM)
{
    wchar_t name[32] = {};
    if (GetClassNameW(window, name, 32) != 0 && std::wcscmp(name, L"VantorMainWindow") == 0)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return FALSE;
    }
    return TRUE;
}
} // namespace

void RequestWindowClose()
{
    EnumThreadWindows(GetCurrentThreadId(), &CloseIfMain, 0);
}
