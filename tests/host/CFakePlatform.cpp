#include "tests/host/CFakePlatform.h"

#include "tests/host/FakeGL.h"

#include <algorithm>
#include <stdexcept>

CFakePlatform::TMessage CFakePlatform::KeyDown(std::uint32_t code)
{
    return [code](CFakePlatform&, IPlatformEvents& events) { events.OnKeyDown(code); };
}

CFakePlatform::TMessage CFakePlatform::KeyUp(std::uint32_t code)
{
    return [code](CFakePlatform&, IPlatformEvents& events) { events.OnKeyUp(code); };
}

CFakePlatform::TMessage CFakePlatform::FocusGained()
{
    return [](CFakePlatform&, IPlatformEvents& events) { events.OnFocusGained(); };
}

CFakePlatform::TMessage CFakePlatform::FocusLost()
{
    return [](CFakePlatform&, IPlatformEvents& events) { events.OnFocusLost(); };
}

CFakePlatform::TMessage CFakePlatform::Close()
{
    return [](CFakePlatform& platform, IPlatformEvents& events) {
        platform.Log.push_back("WindowDestroyed");
        events.OnDestroy();
    };
}

void CFakePlatform::StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                            std::int32_t height)
{
    Events = &events;
    ClientWidth = width;
    ClientHeight = height;
    Log.push_back("PlatformStartUp " + std::string(caption) + " " + std::to_string(width) + "x" + std::to_string(height));
}

void* CFakePlatform::GetGLProcAddress(const char* name)
{
    Log.push_back(std::string("GetGLProcAddress ") + name);
    if (std::find(MissingEntryPoints.begin(), MissingEntryPoints.end(), name) != MissingEntryPoints.end())
        return nullptr;
    return FakeGL::EntryPoint(name);
}

bool CFakePlatform::SwapBuffers()
{
    Log.push_back("SwapBuffers");
    return true;
}

void CFakePlatform::ArmFrameTimer()
{
    Log.push_back("ArmFrameTimer");
    TimerArmed = true;
    // The first expiry follows at once.
    TimerSignalled = true;
}

void CFakePlatform::CancelFrameTimer()
{
    Log.push_back("CancelFrameTimer");
    TimerArmed = false;
    TimerSignalled = false;
}

void CFakePlatform::CloseFrameTimer()
{
    Log.push_back("CloseFrameTimer");
    TimerArmed = false;
    TimerSignalled = false;
}

bool CFakePlatform::WaitForFrameOrInput(bool waitTimer)
{
    for (;;)
    {
        if (waitTimer && TimerSignalled)
        {
            TimerSignalled = false;
            return true;
        }
        if (NewInput)
        {
            NewInput = false;
            return false;
        }
        if (Script.empty())
            throw std::logic_error("the loop waits but the test scripted nothing more");
        SStep step = std::move(Script.front());
        Script.pop_front();
        // An auto-reset periodic timer: however many periods passed, one signal.
        if (step.Tick && TimerArmed)
            TimerSignalled = true;
        for (auto& message : step.Messages)
            Queue.push_back(std::move(message));
        NewInput = NewInput || !step.Messages.empty();
    }
}

bool CFakePlatform::DispatchMessages()
{
    while (!Queue.empty() || QuitQueued)
    {
        // The quit message comes before anything still queued.
        if (QuitQueued)
        {
            Log.push_back("Quit");
            return false;
        }
        TMessage message = std::move(Queue.front());
        Queue.pop_front();
        message(*this, *Events);
    }
    return true;
}

void CFakePlatform::PostQuit()
{
    Log.push_back("PostQuit");
    QuitQueued = true;
}

bool CFakePlatform::GetCursorClientPosition(std::int32_t& x, std::int32_t& y)
{
    x = CursorX;
    y = CursorY;
    return CursorConverted;
}

void CFakePlatform::GetClientSize(std::int32_t& width, std::int32_t& height)
{
    width = ClientWidth;
    height = ClientHeight;
}

namespace
{
class CFakeBitmap final : public IBitmap
{
public:
    CFakeBitmap(const CFakePlatform::SPicture& picture, std::vector<std::string>& log, std::string name)
        : Log(log), Name(std::move(name))
    {
        Rows.Width = picture.Width;
        Rows.Height = picture.Height;
        Rows.BitsPerPixel = picture.BitsPerPixel;
        Rows.Stride = (picture.Width * picture.BitsPerPixel + 31) / 32 * 4;
        Rows.Rows = picture.Bytes.data();
        Rows.TopDown = picture.TopDown;
    }
    ~CFakeBitmap() override { Log.push_back("BitmapReleased " + Name); }
    const SBitmapRows& GetRows() const override { return Rows; }

private:
    std::vector<std::string>& Log;
    std::string Name;
    SBitmapRows Rows;
};
} // namespace

std::unique_ptr<IBitmap> CFakePlatform::ReadBitmap(std::string_view name)
{
    Log.push_back("ReadBitmap " + std::string(name));
    const auto found = Pictures.find(name);
    if (found == Pictures.end())
        return nullptr;
    return std::make_unique<CFakeBitmap>(found->second, Log, std::string(name));
}

CFakePlatform::SPicture CFakePlatform::Picture24(std::int32_t width, std::int32_t height,
                                                 const std::function<std::uint32_t(std::int32_t, std::int32_t)>& rgbAt)
{
    SPicture picture{width, height, 24, false, {}};
    const std::int32_t stride = (width * 24 + 31) / 32 * 4;
    picture.Bytes.assign(static_cast<std::size_t>(stride * height), 0);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
        {
            const std::uint32_t rgb = rgbAt(x, y);
            std::uint8_t* pixel = picture.Bytes.data() + (height - 1 - y) * stride + x * 3;
            pixel[0] = static_cast<std::uint8_t>(rgb);
            pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
            pixel[2] = static_cast<std::uint8_t>(rgb >> 16);
        }
    return picture;
}

CFakePlatform::~CFakePlatform()
{
    // A player still running goes on reading: the host must have stopped it before its image went.
    if (PlayingImage.data() != nullptr)
    {
        Log.push_back("StillPlaying");
        CheckPlayingImage();
    }
}

void CFakePlatform::CheckPlayingImage()
{
    if (PlayingImage.data() != nullptr)
        ImageStayedIntact = ImageStayedIntact && std::equal(PlayingImage.begin(), PlayingImage.end(),
                                                            PlayedBytes.begin(), PlayedBytes.end());
}

void CFakePlatform::StopSound()
{
    Log.push_back("StopSound");
    CheckPlayingImage();
    PlayingImage = {};
}

void CFakePlatform::PlaySoundImage(std::span<const std::uint8_t> image)
{
    Log.push_back("PlaySoundImage " + std::to_string(image.size()));
    // The clip before is read up to the moment it is cut off.
    CheckPlayingImage();
    PlayingImage = image;
    PlayedBytes.assign(image.begin(), image.end());
}

EFileRead CFakePlatform::ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                                      std::size_t extraZeroBytes)
{
    Log.push_back("ReadDataFile " + std::string(name) + " +" + std::to_string(extraZeroBytes));
    const auto found = DataFiles.find(name);
    if (found == DataFiles.end())
        return EFileRead::NotFound;
    if (found->second.Outcome == EFileRead::NotFound || found->second.Outcome == EFileRead::TooLarge)
        return found->second.Outcome;
    bytes = found->second.Bytes;
    bytes.resize(bytes.size() + extraZeroBytes, 0);
    return found->second.Outcome;
}
