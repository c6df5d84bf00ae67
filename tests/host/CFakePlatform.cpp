#include "tests/host/CFakePlatform.h"

#include "tests/host/FakeGL.h"

#include <algorithm>
#include <stdexcept>

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
    const bool missing = std::find(MissingEntryPoints.begin(), MissingEntryPoints.end(), name) != MissingEntryPoints.end();
    return missing ? nullptr : FakeGL::EntryPoint(name);
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
        TimerSignalled = TimerSignalled || (step.Tick && TimerArmed);
        for (auto& message : step.Messages)
            Queue.push_back(std::move(message));
        NewInput = NewInput || !step.Messages.empty();
    }
}

bool CFakePlatform::DispatchMessages()
{
    for (; !QuitQueued && !Queue.empty(); Queue.pop_front())
        Queue.front()(*this, *Events);
    // The quit message comes before anything still queued.
    if (QuitQueued)
        Log.push_back("Quit");
    return !QuitQueued;
}

namespace
{
// The rows of a BMP file in the fake data folder, read as they are stored.
class CFakeBitmap final : public IBitmap
{
public:
    CFakeBitmap(const std::vector<std::uint8_t>& file, const SBmpHeader& header, std::vector<std::string>& log,
                std::string_view name)
        : Log(log), Name(name)
    {
        Rows = {header.Width, header.Height, header.BitsPerPixel, header.Stride, file.data() + header.PixelOffset,
                header.TopDown};
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
    const auto found = DataFiles.find(name);
    const auto header = found == DataFiles.end() ? std::nullopt : CheckBmpFile(found->second.Bytes);
    return header ? std::make_unique<CFakeBitmap>(found->second.Bytes, *header, Log, name) : nullptr;
}

EFileRead CFakePlatform::ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                                      std::size_t extraZeroBytes)
{
    Log.push_back("ReadDataFile " + std::string(name) + " +" + std::to_string(extraZeroBytes));
    const auto found = DataFiles.find(name);
    if (found == DataFiles.end())
        return EFileRead::NotFound;
    if (found->second.Outcome == EFileRead::Ok || found->second.Outcome == EFileRead::ReadFailed)
    {
        bytes = found->second.Bytes;
        bytes.resize(bytes.size() + extraZeroBytes, 0);
    }
    return found->second.Outcome;
}

CFakePlatform::~CFakePlatform()
{
    // A player still running goes on reading: the host must have stopped it before its image went.
    if (PlayingImage.data() != nullptr)
        Log.push_back("StillPlaying");
}

void CFakePlatform::CheckPlayingImage()
{
    ImageStayedIntact = ImageStayedIntact && std::equal(PlayingImage.begin(), PlayingImage.end(),
                                                        PlayedBytes.begin(), PlayedBytes.end());
}

void CFakePlatform::StopSound()
{
    Log.push_back("StopSound");
    CheckPlayingImage();
    PlayingImage = {};
    PlayedBytes.clear();
}

void CFakePlatform::PlaySoundImage(std::span<const std::uint8_t> image)
{
    Log.push_back("PlaySoundImage " + std::to_string(image.size()));
    // The clip before is read up to the moment it is cut off.
    CheckPlayingImage();
    PlayingImage = image;
    PlayedBytes.assign(image.begin(), image.end());
}
