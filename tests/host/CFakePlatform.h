#pragma once

#include "Host/IPlatform.h"
#include "tests/host/FakeGL.h"

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
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
    static TMessage Key(std::uint32_t code, bool down)
    {
        return [=](CFakePlatform&, IPlatformEvents& events) { down ? events.OnKeyDown(code) : events.OnKeyUp(code); };
    }
    // The close button: the window is destroyed at once, which shuts the host down.
    static TMessage Close()
    {
        return [](CFakePlatform& platform, IPlatformEvents& events) {
            platform.Log.push_back("WindowDestroyed");
            events.OnDestroy();
        };
    }

    explicit CFakePlatform(std::vector<std::string>& log) : Log(log) { Current = this; }
    ~CFakePlatform() override { Current = Current == this ? nullptr : Current; }
    // The one whose window RequestWindowClose closes.
    static inline CFakePlatform* Current = nullptr;

    void Then(SStep step) { Script.push_back(std::move(step)); }
    // A period passes, or a message arrives, right now, as during a long frame.
    void ExpireTimer() { TimerSignalled = TimerSignalled || TimerArmed; }
    void PostNow(TMessage message) { Queue.push_back(std::move(message)), NewInput = true; }

    void StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width, std::int32_t height) override
    {
        Events = &events;
        Log.push_back("PlatformStartUp " + std::string(caption) + " " + std::to_string(width) + "x" +
                      std::to_string(height));
    }
    void* GetGLProcAddress(const char* name) override
    {
        Log.push_back(std::string("GetGLProcAddress ") + name);
        const bool missing = std::count(MissingEntryPoints.begin(), MissingEntryPoints.end(), name) != 0;
        return missing ? nullptr : FakeGL::EntryPoint(name);
    }
    bool SwapBuffers() override { return true; }
    // The first expiry follows at once.
    void ArmFrameTimer() override { Timer("ArmFrameTimer", true); }
    void CancelFrameTimer() override { Timer("CancelFrameTimer", false); }
    void CloseFrameTimer() override { Timer("CloseFrameTimer", false); }
    std::uint32_t GetTicks() override { return Ticks; }
    bool WaitForFrameOrInput(bool waitTimer) override
    {
        for (;; Script.pop_front())
        {
            if (waitTimer && TimerSignalled)
                return !(TimerSignalled = false);
            if (NewInput)
                return NewInput = false;
            if (Script.empty())
                throw std::logic_error("the loop waits but the test scripted nothing more");
            // An auto-reset periodic timer: however many periods passed, one signal.
            TimerSignalled = TimerSignalled || (Script.front().Tick && TimerArmed);
            Queue.insert(Queue.end(), Script.front().Messages.begin(), Script.front().Messages.end());
            NewInput = NewInput || !Script.front().Messages.empty();
        }
    }
    bool DispatchMessages() override
    {
        for (; !QuitQueued && !Queue.empty(); Queue.pop_front())
            Queue.front()(*this, *Events);
        // The quit message comes before anything still queued.
        if (QuitQueued)
            Log.push_back("Quit");
        return !QuitQueued;
    }
    void PostQuit() override { Log.push_back("PostQuit"), QuitQueued = true; }
    void BeginScheduling() override { Log.push_back("BeginScheduling"); }
    void EndScheduling() override { Log.push_back("EndScheduling"); }
    void DeleteContexts() override { Log.push_back("DeleteContexts"); }
    bool CancelThreadIo(void*) override { return false; }
    bool GetCursorClientPosition(std::int32_t& x, std::int32_t& y) override
    {
        x = CursorX;
        y = CursorY;
        return true;
    }
    // The size every case configures.
    void GetClientSize(std::int32_t& width, std::int32_t& height) override
    {
        width = 800;
        height = 600;
    }
    void HideCursor() override { Log.push_back("HideCursor"); }
    bool IsMouseButtonDown(bool right) override { return MouseButtons[right]; }
    bool IsKeyHeld(std::uint32_t code) override { return code < 256 && Held[code]; }
    bool HasFocus() override { return Focus; }
    // The file's rows as they are stored.
    std::unique_ptr<IBitmap> ReadBitmap(std::string_view name) override
    {
        const auto found = DataFiles.find(name);
        const auto header = found == DataFiles.end() ? std::nullopt : CheckBmpFile(found->second.Bytes);
        if (!header)
            return nullptr;
        const SBitmapRows rows{header->Width, header->Height, header->BitsPerPixel, header->Stride,
                               found->second.Bytes.data() + header->PixelOffset, header->TopDown};
        return std::make_unique<CBitmap>(rows, Log, "BitmapReleased " + std::string(name));
    }
    EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes, std::size_t extraZeroBytes) override
    {
        Log.push_back("ReadDataFile " + std::string(name) + " +" + std::to_string(extraZeroBytes));
        const auto found = DataFiles.find(name);
        if (found == DataFiles.end())
            return EFileRead::NotFound;
        if (found->second.Outcome == EFileRead::Ok || found->second.Outcome == EFileRead::ReadFailed)
            (bytes = found->second.Bytes).resize(bytes.size() + extraZeroBytes, 0);
        return found->second.Outcome;
    }
    // The clip before is read up to the moment it is cut off.
    void PlaySoundImage(std::span<const std::uint8_t> image) override
    {
        Log.push_back("PlaySoundImage");
        StopPlayer();
        PlayingImage = image;
        PlayedBytes.assign(image.begin(), image.end());
    }
    void StopSound() override { Log.push_back("StopSound"), StopPlayer(); }
    void WriteDiagnostic(std::string_view text) override { Log.push_back("Diagnostic " + std::string(text)); }

    // The data folder: each file, and how reading it ends (on ReadFailed, with what was read).
    struct SDataFile
    {
        std::vector<std::uint8_t> Bytes;
        EFileRead Outcome = EFileRead::Ok;
    };
    std::map<std::string, SDataFile, std::less<>> DataFiles;
    // The image the player reads, and what it held then: a real player reads on until it is cut off
    // or stopped, so the image must not change before. False once it was found changed.
    std::span<const std::uint8_t> PlayingImage;
    std::vector<std::uint8_t> PlayedBytes;
    bool ImageStayedIntact = true;

    std::vector<std::string>& Log;
    std::uint32_t Ticks = 0;
    std::int32_t CursorX = -50;
    std::int32_t CursorY = -50;
    std::array<bool, 2> MouseButtons{}; // left, right
    bool Focus = true;
    bool Held[256] = {};
    std::vector<std::string> MissingEntryPoints;

private:
    struct CBitmap final : IBitmap
    {
        CBitmap(SBitmapRows rows, std::vector<std::string>& log, std::string release)
            : Rows(rows), Log(log), Release(std::move(release))
        {
        }
        ~CBitmap() override { Log.push_back(Release); }
        const SBitmapRows& GetRows() const override { return Rows; }
        SBitmapRows Rows;
        std::vector<std::string>& Log;
        std::string Release;
    };
    void Timer(const char* call, bool armed) { Log.push_back(call), TimerArmed = TimerSignalled = armed; }
    void StopPlayer()
    {
        ImageStayedIntact = ImageStayedIntact && std::equal(PlayingImage.begin(), PlayingImage.end(),
                                                            PlayedBytes.begin(), PlayedBytes.end());
        PlayingImage = {};
        PlayedBytes.clear();
    }

    IPlatformEvents* Events = nullptr;
    std::deque<SStep> Script;
    std::deque<TMessage> Queue;
    bool NewInput = false;
    bool TimerArmed = false;
    bool TimerSignalled = false;
    bool QuitQueued = false;
};
