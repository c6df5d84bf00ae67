#pragma once

#include "Host/IPlatform.h"

#include <deque>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

// A backend without a display, a clock or a disk. The test scripts what happens while the loop
// waits, one step per wait: a timer expiry, window messages, or both at once.
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

    void Then(SStep step) { Script.push_back(std::move(step)); }
    // A period passes right now, as during a long frame.
    void ExpireTimer() { TimerSignalled = TimerSignalled || TimerArmed; }
    // A message arrives right now, as during a frame.
    void PostNow(TMessage message)
    {
        Queue.push_back(std::move(message));
        NewInput = true;
    }

    static TMessage KeyDown(std::uint32_t code)
    {
        return [code](CFakePlatform&, IPlatformEvents& events) { events.OnKeyDown(code); };
    }
    static TMessage KeyUp(std::uint32_t code)
    {
        return [code](CFakePlatform&, IPlatformEvents& events) { events.OnKeyUp(code); };
    }
    // The close button: the window is destroyed at once, which shuts the host down.
    static TMessage Close()
    {
        return [](CFakePlatform& platform, IPlatformEvents& events) {
            platform.Log.push_back("WindowDestroyed");
            events.OnDestroy();
        };
    }

    void StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                 std::int32_t height) override;
    void* GetGLProcAddress(const char* name) override;
    bool SwapBuffers() override { return true; }
    // The first expiry follows at once.
    void ArmFrameTimer() override { Timer("ArmFrameTimer", true); }
    void CancelFrameTimer() override { Timer("CancelFrameTimer", false); }
    void CloseFrameTimer() override { Timer("CloseFrameTimer", false); }
    std::uint32_t GetTicks() override { return Ticks; }
    bool WaitForFrameOrInput(bool waitTimer) override;
    bool DispatchMessages() override;
    void PostQuit() override
    {
        Log.push_back("PostQuit");
        QuitQueued = true;
    }
    void BeginScheduling() override { Log.push_back("BeginScheduling"); }
    void EndScheduling() override { Log.push_back("EndScheduling"); }
    void DeleteContexts() override { Log.push_back("DeleteContexts"); }
    void StopSound() override;
    bool CancelThreadIo(void*) override { return false; }
    bool GetCursorClientPosition(std::int32_t& x, std::int32_t& y) override
    {
        x = CursorX;
        y = CursorY;
        return CursorConverted;
    }
    void GetClientSize(std::int32_t& width, std::int32_t& height) override
    {
        width = ClientWidth;
        height = ClientHeight;
    }
    void HideCursor() override { Log.push_back("HideCursor"); }
    bool IsMouseButtonDown(bool right) override { return right ? RightButton : LeftButton; }
    bool IsKeyHeld(std::uint32_t code) override { return code < 256 && Held[code]; }
    bool HasFocus() override { return Focus; }
    std::unique_ptr<IBitmap> ReadBitmap(std::string_view name) override;
    EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                           std::size_t extraZeroBytes) override;
    void PlaySoundImage(std::span<const std::uint8_t> image) override;

    // The data folder: each file, and how reading it ends (on ReadFailed, with what was read).
    struct SDataFile
    {
        std::vector<std::uint8_t> Bytes;
        EFileRead Outcome = EFileRead::Ok;
    };
    std::map<std::string, SDataFile, std::less<>> DataFiles;
    // The image the player reads, and a copy of it: a real player reads on until it is cut off or
    // stopped, so the image must not change before then. False once it was found changed.
    std::span<const std::uint8_t> PlayingImage;
    std::vector<std::uint8_t> PlayedBytes;
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
    std::vector<std::string> MissingEntryPoints;
    std::int32_t ClientWidth = 0;
    std::int32_t ClientHeight = 0;

private:
    void CheckPlayingImage();
    void Timer(const char* call, bool armed)
    {
        Log.push_back(call);
        TimerArmed = TimerSignalled = armed;
    }

    IPlatformEvents* Events = nullptr;
    std::deque<SStep> Script;
    std::deque<TMessage> Queue;
    bool NewInput = false;
    bool TimerArmed = false;
    bool TimerSignalled = false;
    bool QuitQueued = false;
};
