#pragma once

#include "Host/IPlatform.h"
#include "Sdl/CSdlSound.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

struct SDL_Window;
using SDL_GLContext = void*;

// The Linux backend: SDL2 for the window, contexts, events and input state; a periodic timerfd,
// waited on together with the display connection, for the frames.
class CSdlPlatform final : public IPlatform
{
public:
    CSdlPlatform() = default;
    CSdlPlatform(const CSdlPlatform&) = delete;
    CSdlPlatform& operator=(const CSdlPlatform&) = delete;
    ~CSdlPlatform() override;

    // ---- Window and context ----
    void StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                 std::int32_t height) override;
    void* GetGLProcAddress(const char* name) override;
    bool SwapBuffers() override;
    void GetClientSize(std::int32_t& width, std::int32_t& height) override;
    void DeleteContexts() override;

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

    // ---- Input ----
    bool IsKeyHeld(std::uint32_t code) override;
    bool HasFocus() override;
    bool GetCursorClientPosition(std::int32_t& x, std::int32_t& y) override;
    bool IsMouseButtonDown(bool right) override;
    void HideCursor() override;

    // ---- Data files and pictures ----
    // The named file in the Data folder beside the executable.
    std::string GetDataPath(std::string_view name);
    EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                           std::size_t extraZeroBytes) override;
    std::unique_ptr<IBitmap> ReadBitmap(std::string_view name) override;

    // ---- Sound ----
    void PlaySoundImage(std::span<const std::uint8_t> image) override;
    void StopSound() override;
    // Bytes of the clip playing still waiting for the sound device.
    std::uint32_t SoundBytesQueued();

private:
    void DestroyWindow();
    // The pointer's screen position as the X server has it now; false without an X display.
    bool QueryX11Pointer(int& screenX, int& screenY);

    IPlatformEvents* Events = nullptr;
    SDL_Window* Window = nullptr;
    SDL_GLContext GLContext = nullptr;
    SDL_GLContext SharedGLContext = nullptr;
    int FrameTimer = -1;
    int DisplayFd = -1; // the display connection, -1 when the video driver offers none
    void* X11Display = nullptr;
    unsigned long X11Window = 0;
    void* X11Library = nullptr;
    void* QueryPointer = nullptr; // Xlib's XQueryPointer
    bool QuitPosted = false;
    // True from a dispatch that left no event behind until the next wait.
    bool EventsDrained = false;
    std::string Folder; // the data folder, with its separator
    CSdlSoundPlayer SoundPlayer;
};

// The fatal-error box: the text on standard error, then in SDL's error box when one can be shown.
void ShowFatalError(std::string_view text);
