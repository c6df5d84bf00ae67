#pragma once

#include "Host/IPlatform.h"
#include "Windows/Win32.h"

#include <exception>
#include <string>
#include <string_view>

// The Windows backend: raw Win32 for the window and its messages, WGL for the two contexts, a periodic
// waitable timer waited on together with the message queue for the frames, WinMM for sound.
class CWin32Platform final : public IPlatform
{
public:
    explicit CWin32Platform(HINSTANCE instance);
    CWin32Platform(const CWin32Platform&) = delete;
    CWin32Platform& operator=(const CWin32Platform&) = delete;
    ~CWin32Platform() override;

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
    EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                           std::size_t extraZeroBytes) override;
    void PlaySoundImage(std::span<const std::uint8_t> image) override;
    void WriteDiagnostic(std::string_view text) override;

    // The named file in the Data folder beside the executable, as a zero-terminated UTF-16 path.
    static std::wstring GetDataPath(std::string_view name);

private:
    using TCancelSynchronousIo = BOOL(WINAPI*)(HANDLE thread);
    using TAvSetMmThreadCharacteristics = HANDLE(WINAPI*)(LPCWSTR taskName, LPDWORD taskIndex);
    using TAvRevertMmThreadCharacteristics = BOOL(WINAPI*)(HANDLE handle);

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // An error raised inside the window procedure, carried past the system's frames to our caller.
    void RethrowPendingError();

    HINSTANCE Instance;
    IPlatformEvents* Events = nullptr;
    HMODULE Kernel32 = nullptr;
    HMODULE Avrt = nullptr;
    TCancelSynchronousIo CancelSynchronousIoProc = nullptr;
    TAvSetMmThreadCharacteristics AvSetMmThreadCharacteristicsProc = nullptr;
    TAvRevertMmThreadCharacteristics AvRevertMmThreadCharacteristicsProc = nullptr;
    HANDLE FrameTimer = nullptr;
    HWND Window = nullptr;
    HDC DeviceContext = nullptr;
    HGLRC GLContext = nullptr;
    HGLRC SharedGLContext = nullptr;
    DWORD TaskIndex = 0;
    HANDLE SchedulingHandle = nullptr;
    std::exception_ptr PendingError;
};

// The fatal-error box: the text on standard error when there is one, then a stop-sign box with no
// owner and the system's default caption.
void ShowFatalError(std::string_view text);
