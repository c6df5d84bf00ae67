#pragma once

#include "Host/IPlatform.h"
#include "Windows/Win32.h"

#include <exception>
#include <string>
#include <string_view>

// The Windows backend: raw Win32 for the window and its messages, WGL for the two contexts, a periodic
// waitable timer waited on together with the message queue for the frames, WinMM for sound. The data
// files and pictures are in CWin32PlatformFiles.cpp.
class CWin32Platform final : public IPlatform
{
public:
    explicit CWin32Platform(HINSTANCE instance);
    CWin32Platform(const CWin32Platform&) = delete;
    CWin32Platform& operator=(const CWin32Platform&) = delete;
    ~CWin32Platform() override;

    // ---- Window and context ----
    void StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                 std::int32_t height) override;
    void* GetGLProcAddress(const char* name) override;
    bool SwapBuffers() override;
    void DeleteContexts() override;
    void GetClientSize(std::int32_t& width, std::int32_t& height) override;

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

    // ---- Input ----
    bool GetCursorClientPosition(std::int32_t& x, std::int32_t& y) override;
    void HideCursor() override;
    bool IsMouseButtonDown(bool right) override;
    bool IsKeyHeld(std::uint32_t code) override;
    bool HasFocus() override;

    // ---- Data files and pictures ----
    std::unique_ptr<IBitmap> ReadBitmap(std::string_view name) override;
    EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                           std::size_t extraZeroBytes) override;
    bool CancelThreadIo(void* thread) override;

    // ---- Sound ----
    void StopSound() override;
    void PlaySoundImage(std::span<const std::uint8_t> image) override;

    // ---- Errors ----
    void WriteDiagnostic(std::string_view text) override;

private:
    // ---- Window and context ----
    using TAvSetMmThreadCharacteristics = HANDLE(WINAPI*)(LPCWSTR taskName, LPDWORD taskIndex);
    using TAvRevertMmThreadCharacteristics = BOOL(WINAPI*)(HANDLE handle);

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE Instance;
    IPlatformEvents* Events = nullptr;
    HWND Window = nullptr;
    HDC DeviceContext = nullptr;
    HGLRC GLContext = nullptr;
    HGLRC SharedGLContext = nullptr;

    // ---- Loop and frame timer ----
    HANDLE FrameTimer = nullptr;
    HMODULE Avrt = nullptr;
    TAvSetMmThreadCharacteristics AvSetMmThreadCharacteristicsProc = nullptr;
    TAvRevertMmThreadCharacteristics AvRevertMmThreadCharacteristicsProc = nullptr;
    DWORD TaskIndex = 0;
    HANDLE SchedulingHandle = nullptr;

    // ---- Input ----
    // The key a key message is about, with the generic Shift, Control and Alt codes made left or right.
    static std::uint32_t SideSpecificKey(WPARAM key, LPARAM flags);

    // ---- Data files and pictures ----
    using TCancelSynchronousIo = BOOL(WINAPI*)(HANDLE thread);

    // The named file in the Data folder beside the executable, as a zero-terminated UTF-16 path.
    static std::wstring GetDataPath(std::string_view name);

    HMODULE Kernel32 = nullptr;
    TCancelSynchronousIo CancelSynchronousIoProc = nullptr;

    // ---- Errors ----
    // An error raised inside the window procedure, carried past the system's frames to our caller.
    void RethrowPendingError();

    std::exception_ptr PendingError;
};

// UTF-8 from the seam to the UTF-16 that Windows takes.
std::wstring Widen(std::string_view text);

// The fatal-error box: the text on standard error when there is one, then a stop-sign box with no
// owner and the system's default caption.
void ShowFatalError(std::string_view text);
