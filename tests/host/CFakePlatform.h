#pragma once

#include "Host/IPlatform.h"

#include <deque>
#include <map>
#include <functional>
#include <span>
#include <string>
#include <vector>

// A backend without a display or a clock. The test scripts what happens while the loop waits,
// one step per wait: timer expiries and window messages, which may arrive together.
class CFakePlatform final : public IPlatform
{
public:
    using TMessage = std::function<void(CFakePlatform&, IPlatformEvents&)>;

    struct SStep
    {
        bool Tick = false;
        std::vector<TMessage> Messages;
    };

    explicit CFakePlatform(std::vector<std::string>& log) : Log(log) {}
    ~CFakePlatform() override;

    // What happens next while the loop waits.
    void Then(SStep step) { Script.push_back(std::move(step)); }
    void ThenTick() { Then({true, {}}); }
    void ThenMessage(TMessage message) { Then({false, {std::move(message)}}); }
    // A period passes right now, as during a long frame.
    void ExpireTimer() { TimerSignalled = TimerSignalled || TimerArmed; }
    // A message arrives right now, as during a frame.
    void PostNow(TMessage message)
    {
        Queue.push_back(std::move(message));
        NewInput = true;
    }

    // Window messages as the window procedure reports them.
    static TMessage KeyDown(std::uint32_t code);
    static TMessage KeyUp(std::uint32_t code);
    static TMessage FocusGained();
    static TMessage FocusLost();
    // The close button: the window is destroyed at once, which shuts the host down.
    static TMessage Close();

    void StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                 std::int32_t height) override;
    void* GetGLProcAddress(const char* name) override;
    bool SwapBuffers() override;
    void ArmFrameTimer() override;
    void CancelFrameTimer() override;
    void CloseFrameTimer() override;
    std::uint32_t GetTicks() override { return Ticks; }
    bool WaitForFrameOrInput(bool waitTimer) override;
    bool DispatchMessages() override;
    void PostQuit() override;
    void BeginScheduling() override { Log.push_back("BeginScheduling"); }
    void EndScheduling() override { Log.push_back("EndScheduling"); }
    void DeleteContexts() override { Log.push_back("DeleteContexts"); }
    void StopSound() override;
    bool CancelThreadIo(void*) override { return false; }
    bool GetCursorClientPosition(std::int32_t& x, std::int32_t& y) override;
    void GetClientSize(std::int32_t& width, std::int32_t& height) override;
    void HideCursor() override { Log.push_back("HideCursor"); }
    bool IsMouseButtonDown(bool right) override { return right ? RightButton : LeftButton; }
    bool IsKeyHeld(std::uint32_t code) override { return code < 256 && Held[code]; }
    bool HasFocus() override { return Focus; }
    std::unique_ptr<IBitmap> ReadBitmap(std::string_view name) override;
    EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                           std::size_t extraZeroBytes) override;
    void PlaySoundImage(std::span<const std::uint8_t> image) override;

    // A picture in the fake data folder: stored rows as a BMP reader delivers them.
    struct SPicture
    {
        std::int32_t Width = 0;
        std::int32_t Height = 0;
        std::int32_t BitsPerPixel = 24;
        bool TopDown = false;
        std::vector<std::uint8_t> Bytes; // Height rows of Stride bytes
    };
    // Blue, green, red rows, bottom row first, padded to whole words.
    static SPicture Picture24(std::int32_t width, std::int32_t height,
                              const std::function<std::uint32_t(std::int32_t x, std::int32_t y)>& rgbAt);
    std::map<std::string, SPicture, std::less<>> Pictures;

    // A file in the fake data folder, and how reading it ends: on ReadFailed its bytes are what
    // was read before the failure.
    struct SDataFile
    {
        std::vector<std::uint8_t> Bytes;
        EFileRead Outcome = EFileRead::Ok;
    };
    std::map<std::string, SDataFile, std::less<>> DataFiles;
    // The image the fake player was given and still reads, with a copy of what it held then. A real
    // player reads the image until it is cut off or stopped, so it must not change before that.
    std::span<const std::uint8_t> PlayingImage;
    std::vector<std::uint8_t> PlayedBytes;
    // False once the image being played was found changed while the player still read it.
    bool ImageStayedIntact = true;

    std::vector<std::string>& Log;
    std::uint32_t Ticks = 0;
    std::int32_t CursorX = -50;
    std::int32_t CursorY = -50;
    bool CursorConverted = true;
    bool LeftButton = false;
    bool RightButton = false;
    bool Focus = true;
    bool Held[256] = {};
    // Names GetGLProcAddress does not find.
    std::vector<std::string> MissingEntryPoints;
    std::int32_t ClientWidth = 0;
    std::int32_t ClientHeight = 0;

private:
    void CheckPlayingImage();

    IPlatformEvents* Events = nullptr;
    std::deque<SStep> Script;
    std::deque<TMessage> Queue;
    bool NewInput = false;
    bool TimerArmed = false;
    bool TimerSignalled = false;
    bool QuitQueued = false;
};
