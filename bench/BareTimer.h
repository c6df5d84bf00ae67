#pragma once

// The backend's frame timer on its own, created and armed by the backend's own code, for a loop with
// nothing else in it: the limit that the engine's pacing is measured against.
class CBareTimer
{
public:
    CBareTimer();
    CBareTimer(const CBareTimer&) = delete;
    CBareTimer& operator=(const CBareTimer&) = delete;
    ~CBareTimer();

    // First expiry at once, then every period, as the engine arms its timer.
    void Arm();
    void Disarm();
    // Blocks until the timer has expired, taking every expiry since the last wait.
    void Wait();

private:
#ifdef _WIN32
    void* Timer = nullptr;
#else
    int Timer = -1;
#endif
};
