#pragma once

// The backend's frame timer in a loop of its own, created and armed by the backend's own code: the
// limits that the engine's loop is measured against. Alone, it is the least any frame loop does.
// With the window's input, the loop does what the frame rules ask of any loop that reads window
// input, and nothing more: it also wakes for input, samples both mouse buttons at every expiry, and
// then looks at the input queue once, since pending input gets its turn after each frame. The queue
// is looked at, never emptied: the engine's own loop delivers what arrived once its next block begins.
class CBareTimer
{
public:
    explicit CBareTimer(bool withWindowInput);
    CBareTimer(const CBareTimer&) = delete;
    CBareTimer& operator=(const CBareTimer&) = delete;
    ~CBareTimer();

    // First expiry at once, then every period, as the engine arms its timer.
    void Arm();
    void Disarm();
    // Blocks until the timer has expired, taking every expiry since the last wait.
    void Wait();

private:
    bool WithWindowInput;
#ifdef _WIN32
    void* Timer = nullptr;
#else
    int Timer = -1;
    int DisplayFd = -1; // the window's display connection, when it has one
#endif
};
