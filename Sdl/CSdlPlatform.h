#pragma once

#include "Host/IPlatform.h"

#include <string>
#include <string_view>

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

    void StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                 std::int32_t height) override;
    void* GetGLProcAddress(const char* name) override;
    bool SwapBuffers() override;
    void ArmFrameTimer() override;
    void CancelFrameTimer() override;
    void CloseFrameTimer() override;
    std::uint32_t GetTicks() override;
    bool WaitForFrameOrInput(bool waitTimer) override;
    bool DispatchMessages() override;
    void PostQuit() override;
    void BeginScheduling() override;
    void EndScheduling() override;
    void DeleteContexts() override;
    void StopSound() override;
    bool CancelThreadIo(void* thread) override;
    bool GetCursorClientPosition(std::int32_t& x, std::int32_t& y) override;
    void GetClientSize(std::int32_t& width, std::int32_t& height) override;
    void HideCursor() override;
    bool IsMouseButtonDown(bool right) override;
    bool IsKeyHeld(std::uint32_t code) override;
    bool HasFocus() override;
    std::unique_ptr<IBitmap> ReadBitmap(std::string_view name) override;

    // The named file in the Data folder beside the executable.
    std::string GetDataPath(std::string_view name);

private:
    bool FrameTimerExpired();
    void DestroyWindow();

    IPlatformEvents* Events = nullptr;
    SDL_Window* Window = nullptr;
    SDL_GLContext GLContext = nullptr;
    SDL_GLContext SharedGLContext = nullptr;
    int FrameTimer = -1;
    int DisplayFd = -1; // the display connection, -1 when the video driver offers none
    bool QuitPosted = false;
    std::string BasePath;
};

// The virtual-key code of an SDL key, 0 for keys without one.
std::uint32_t SdlKeyToVirtualKey(std::int32_t sdlKey);

// The fatal-error box: the text on standard error, then in SDL's error box when one can be shown.
void ShowFatalError(std::string_view text);
