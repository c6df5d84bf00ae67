#pragma once

#include "Host/IPlatform.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The web backend: a WebGL context on the page's canvas, the page's input events, Web Audio, and the
// Data folder fetched with the page. The browser calls the loop back (Web/Main.cpp), so waiting
// never blocks: it only tells whether a frame is due. The page's own JavaScript is Web/PageLibrary.js.
// The host's OpenGL 1.1 calls go through Emscripten's emulation of the fixed-function stage, with the
// fix-ups of Web/Gl.js. It makes a draw call of every glBegin, but Arborath's playing screen (119 of
// them) takes 0.7 ms of its 20 ms in the page on the software renderer, so a batching layer of our
// own would not pay for itself.
class CWebPlatform final : public IPlatform
{
public:
    // ---- Window and context ----
    CWebPlatform() = default;
    CWebPlatform(const CWebPlatform&) = delete;
    CWebPlatform& operator=(const CWebPlatform&) = delete;
    ~CWebPlatform() override;

    void StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                 std::int32_t height) override;
    void* GetGLProcAddress(const char* name) override;
    bool SwapBuffers() override;
    void DeleteContexts() override;
    void GetClientSize(std::int32_t& width, std::int32_t& height) override;

    // The page's one platform once started, for a close requested from outside the loop.
    static CWebPlatform* Current;

    // ---- Loop and frame timer ----
    void ArmFrameTimer() override;
    void CancelFrameTimer() override;
    void CloseFrameTimer() override;
    std::uint32_t GetTicks() override;
    bool WaitForFrameOrInput(bool waitTimer) override;
    bool DispatchMessages() override;
    void PostQuit() override;
    void BeginScheduling() override;
    void EndScheduling() override;
    bool CancelThreadIo(void* thread) override;

    // Milliseconds until the frame timer is next due, for the page's own wake-up; negative when
    // the timer is not armed.
    double MillisecondsToNextFrame() const;

    // What the page's event handlers report, queued for the next dispatch in arrival order.
    enum class EEvent : std::uint8_t
    {
        KeyDown,
        KeyUp,
        FocusGained,
        FocusLost,
        MouseMoved,
        Close,
    };
    // False when the queue is full and the event was dropped.
    bool Queue(EEvent event, std::uint32_t code = 0);
    // The loop's turn that the handlers start once they have queued their event, so that input is
    // dispatched when it arrives, as on the desktop, and not only with the next frame.
    void SetWake(void (*wake)());
    void Wake();
    // What runs when the program calls exit(), before it stops where it is.
    void SetOnExit(void (*ended)());
    // The program has ended (closed, or exit() called): the page stops listening and silences it,
    // and says so with a way to start again.
    void ShowEnded();

    // ---- Input ----
    bool GetCursorClientPosition(std::int32_t& x, std::int32_t& y) override;
    void HideCursor() override;
    bool IsMouseButtonDown(bool right) override;
    bool IsKeyHeld(std::uint32_t code) override;
    bool HasFocus() override;

    // The page got the keyboard: the focus event is queued and the hint goes.
    void GainFocus();
    // The page lost the keyboard: every held key is released, then the focus goes.
    void LoseFocus();
    void SetHeld(std::uint32_t code, bool held) { Held[code] = held; }
    void SetMouse(std::int32_t x, std::int32_t y);
    void SetMouseButton(std::int32_t button, bool down);

    // ---- Data files and pictures ----
    std::unique_ptr<IBitmap> ReadBitmap(std::string_view name) override;
    EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                           std::size_t extraZeroBytes) override;

    // ---- Sound ----
    void StopSound() override;
    void PlaySoundImage(std::span<const std::uint8_t> image) override;

private:
    void ListenForInput();

    IPlatformEvents* Events = nullptr;
    std::intptr_t Context = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;

    void (*WakeLoop)() = nullptr;
    // The frame timer: due times on a 20 ms grid from the moment it was armed.
    bool TimerArmed = false;
    double TimerStart = 0.0;
    double NextDue = 0.0;
    bool QuitPosted = false;
    // A ring the handlers write and the dispatch reads; room for far more than a frame brings, and
    // when it does overflow the newest events are dropped rather than allocating.
    struct SEvent
    {
        EEvent Kind;
        std::uint32_t Code;
    };
    std::array<SEvent, 256> Pending{};
    std::size_t PendingFirst = 0;
    std::size_t PendingCount = 0;

    bool Focused = false;
    std::array<bool, 256> Held{};
    bool MouseDown[2]{};
    std::int32_t MouseX = 0;
    std::int32_t MouseY = 0;
};

// ---- Input ----

// The virtual-key code of a KeyboardEvent.code, 0 for keys without one.
std::uint32_t WebKeyToVirtualKey(std::string_view code);

// ---- Errors ----

// The fatal-error text over the canvas and on the console.
void ShowFatalError(std::string_view text);
