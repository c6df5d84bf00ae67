#pragma once

// The frame timer of the Windows backend, apart from the window so that the benchmark can measure
// the same timer with nothing else in its loop.

#include "Windows/Win32.h"

// A high-resolution waitable timer where the system has one, a plain one otherwise; auto-reset
// either way, so missed periods leave one signal. Null when neither can be made.
HANDLE CreateFrameTimer();

// First expiry at once (a relative due time of one 100 ns unit), then every 20 ms.
void ArmPeriodicFrameTimer(HANDLE timer);
