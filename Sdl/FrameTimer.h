#pragma once

// The frame timer of the Linux backend, apart from the window so that the benchmark can measure
// the same timer with nothing else in its loop: a periodic timerfd on CLOCK_MONOTONIC, non-blocking.

// A new, disarmed timer; throws when the system has none to give.
int CreateFrameTimer();

// First expiry at once, then every 20 ms; arming again restarts the period from now.
void ArmPeriodicFrameTimer(int timer);

void DisarmFrameTimer(int timer);

// Takes every expiry since the last call at once, so missed periods count as one; false when none.
bool TakeFrameTimerExpiries(int timer);
