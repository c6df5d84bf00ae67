#pragma once

#include "Host/IPlatform.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

struct SDL_Window;
using SDL_GLContext = void*;

// Sound on one SDL audio device, opened on first use; a clip is decoded from its WAV image,
// converted to the device's format and queued whole, so the image is not needed afterwards.
// Without a device, or on an image SDL cannot decode, it stays silent.
class CSdlSoundPlayer
{
public:
    CSdlSoundPlayer() = default;
    CSdlSoundPlayer(const CSdlSoundPlayer&) = delete;
    CSdlSoundPlayer& operator=(const CSdlSoundPlayer&) = delete;
    ~CSdlSoundPlayer();

    // Cuts off what plays and plays the image from its beginning; returns at once.
    void Play(std::span<const std::uint8_t> image);
    void Stop();
    // Bytes of the clip still waiting for the device; 0 without a device.
    std::uint32_t QueuedBytes();

private:
    bool OpenDevice();

    enum class EDevice
    {
        NotOpened,
        Open,
        Unavailable, // remembered, so that a machine without sound does not try again on every clip
    };
    EDevice State = EDevice::NotOpened;
    std::uint32_t Device = 0;
    std::uint16_t Format = 0;
    std::uint8_t Channels = 0;
    std::int32_t Frequency = 0;
};

// The samples of a WAV image as SDL's reader decodes them, converted to the given SDL audio format,
// channel count and rate; false when SDL cannot decode or convert them.
bool DecodeWave(std::span<const std::uint8_t> image, std::uint16_t format, std::uint8_t channels,
                std::int32_t frequency, std::vector<std::uint8_t>& samples);

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
    EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                           std::size_t extraZeroBytes) override;
    void PlaySoundImage(std::span<const std::uint8_t> image) override;

    // Bytes of the clip playing still waiting for the sound device.
    std::uint32_t SoundBytesQueued();

    // The named file in the Data folder beside the executable.
    std::string GetDataPath(std::string_view name);

private:
    void DestroyWindow();

    IPlatformEvents* Events = nullptr;
    SDL_Window* Window = nullptr;
    SDL_GLContext GLContext = nullptr;
    SDL_GLContext SharedGLContext = nullptr;
    int FrameTimer = -1;
    int DisplayFd = -1; // the display connection, -1 when the video driver offers none
    bool QuitPosted = false;
    // True from a dispatch that left no event behind until the next wait.
    bool EventsDrained = false;
    std::string Folder; // the data folder, with its separator
    CSdlSoundPlayer SoundPlayer;
};

// The virtual-key code of an SDL key, 0 for keys without one, and the other way (SDLK_UNKNOWN).
std::uint32_t SdlKeyToVirtualKey(std::int32_t sdlKey);
std::int32_t VirtualKeyToSdlKey(std::uint32_t code);

// The fatal-error box: the text on standard error, then in SDL's error box when one can be shown.
void ShowFatalError(std::string_view text);
