#pragma once

// The one way into <windows.h> for the Windows backend: lean, without min/max, wide-character API.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <shlwapi.h>

// These would rename IVantor's LoadImage, DrawText and PlaySound; the backend calls the W forms by name.
#undef LoadImage
#undef DrawText
#undef PlaySound

// Older MinGW headers lack the high-resolution timer flag (Windows 10 1803 and later).
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif
