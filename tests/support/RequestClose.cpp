#include "tests/support/RequestClose.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void RequestWindowClose()
{
    if (HWND window = FindWindowW(L"VantorMainWindow", nullptr); window != nullptr)
        PostMessageW(window, WM_CLOSE, 0, 0);
}
#else
#include <SDL.h>

void RequestWindowClose()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}
#endif
