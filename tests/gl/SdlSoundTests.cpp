// The Linux backend's playing on SDL's disk audio driver, which writes every sample it plays to a file:
// conversion, cutting off, stopping, no device. Which files are played at all is the host's and unit's.
#include "Host/CApplication.h"
#include "Sdl/CSdlPlatform.h"
#include "tests/gl/GLTestSupport.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <unistd.h>

// The engine's loop never runs here, so no game is ever made.
extern "C" IMainController* CreateMainController(IVantor*)
{
    return nullptr;
}

namespace
{
// Clips at the device's own format (44.1 kHz, stereo, 16 bits), each frame telling its clip and its
// place: the left sample is the frame's index plus one (never silence), the right one the clip's mark.
constexpr int LongMark = 1000, ShortMark = 2000, MediumMark = 3000;

std::vector<std::uint8_t> Clip(int mark, int frames, std::uint16_t formatTag = 1)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < frames; ++i)
        samples.insert(samples.end(),
                       {static_cast<std::int16_t>(i % 30000 + 1), static_cast<std::int16_t>(mark + i / 30000)});
    return MakeWav({formatTag, 2, 44100, 16, Samples16(samples), {}});
}

// A stretch of the output in which one clip played on without a break.
struct SRun
{
    int Mark, First, Frames;
    bool operator==(const SRun&) const = default;
};

class DiskSound : public ::testing::Test
{
protected:
    void SetUp() override
    {
        OutputPath = (std::filesystem::temp_directory_path() / ("vantor" + std::to_string(getpid()) + ".raw")).string();
        // For this process only: the player opens its device on the first clip.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", OutputPath.c_str(), 1);
        auto platform = std::make_unique<CSdlPlatform>();
        Platform = platform.get();
        Application = std::make_unique<CApplication>(std::move(platform));
    }
    void TearDown() override
    {
        Application.reset();
        std::filesystem::remove(OutputPath);
    }

    void Play(const std::string& name, const std::vector<std::uint8_t>& file, std::uint32_t untilQueuedBelow = 1)
    {
        WriteDataFile(name, file);
        Application->LoadSound(name);
        Application->PlaySound(name);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Platform->SoundBytesQueued() >= untilQueuedBelow && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_LT(Platform->SoundBytesQueued(), untilQueuedBelow) << name << ": the device took nothing";
    }

    // Closes the device, which finishes writing, and reads back what it wrote as 16-bit samples.
    std::vector<std::int16_t> Output()
    {
        Application.reset();
        std::ifstream in(OutputPath, std::ios::binary);
        std::vector<std::int16_t> samples(std::filesystem::file_size(OutputPath) / 2);
        in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
        return samples;
    }

    // The output cut into runs of marked clips, silence left out.
    std::vector<SRun> Runs()
    {
        std::vector<SRun> runs;
        const auto samples = Output();
        for (std::size_t at = 0; at + 1 < samples.size(); at += 2)
        {
            const int left = samples[at], mark = samples[at + 1] / 1000 * 1000;
            if (left == 0 && samples[at + 1] == 0)
                continue;
            const int index = (samples[at + 1] - mark) * 30000 + left - 1;
            if (!runs.empty() && runs.back().Mark == mark && runs.back().First + runs.back().Frames == index)
                ++runs.back().Frames;
            else
                runs.push_back({mark, index, 1});
        }
        return runs;
    }

    std::string OutputPath;
    CSdlPlatform* Platform = nullptr;
    std::unique_ptr<CApplication> Application;
};
} // namespace

TEST_F(DiskSound, ANewClipOrAnUnplayableOneCutsOffTheOneThatPlaysAndSamplesArriveUnchanged)
{
    // Long enough that a stalled test thread still cuts them off before they end.
    const auto longClip = Clip(LongMark, 3 * 44100);
    const auto mediumClip = Clip(MediumMark, 66150);
    const auto undecodable = Clip(ShortMark, 4410, 0x1234); // a format tag SDL does not know, in a sound file
    const auto started = [](const auto& clip) { return static_cast<std::uint32_t>(clip.size() - 16384); };
    Play("Long.wav", longClip, started(longClip));
    Play("Short.wav", Clip(ShortMark, 4410));
    // Stopped by the host, which refuses a cut file, then by the backend, which cannot decode one.
    for (const auto& bad : {std::vector<std::uint8_t>(longClip.begin(), longClip.begin() + 30), undecodable})
    {
        Play("Long.wav", longClip, started(longClip));
        Play("Bad.wav", bad);
    }
    // The same clip again starts over.
    Play("Medium.wav", mediumClip, started(mediumClip));
    Play("Medium.wav", mediumClip);
    const auto runs = Runs();
    ASSERT_EQ(runs.size(), 6u);
    for (const int cut : {0, 2, 3, 4})
        EXPECT_TRUE(runs[cut].First == 0 && runs[cut].Frames < 66150) << cut << ": " << runs[cut].Frames;
    EXPECT_EQ(std::vector<int>({runs[0].Mark, runs[2].Mark, runs[3].Mark, runs[4].Mark}),
              std::vector<int>({LongMark, LongMark, LongMark, MediumMark}));
    EXPECT_EQ(runs[1], (SRun{ShortMark, 0, 4410}));
    EXPECT_EQ(runs[5], (SRun{MediumMark, 0, 66150}));
}

TEST_F(DiskSound, ClipsOfOtherFormatsAreConvertedToTheDevices)
{
    // A quarter of a second of 8-bit mono at 22.05 kHz at a steady level: (160 - 128) * 256 on both
    // channels, for twice as many frames; the resampler may soften the edges.
    Play("Mono.wav", MakeWav({1, 1, 22050, 8, std::vector<std::uint8_t>(5512, 160), {}}));
    const auto samples = Output();
    int level = 0;
    for (std::size_t at = 0; at + 1 < samples.size(); at += 2)
        level += std::abs(samples[at] - 8192) <= 64 && std::abs(samples[at + 1] - 8192) <= 64 ? 1 : 0;
    EXPECT_NEAR(level, 11024, 60);
}

TEST_F(DiskSound, WithoutADeviceEverythingIsSilentAndNothingFails)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    WriteDataFile("Short.wav", Clip(ShortMark, 4410));
    Application->LoadSound("Short.wav");
    EXPECT_NO_THROW(Application->PlaySound("Short.wav"));
    EXPECT_EQ(Platform->SoundBytesQueued(), 0u);
    // A driver that appears later is not tried: the failure is remembered.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    Application->PlaySound("Short.wav");
    EXPECT_EQ(Platform->SoundBytesQueued(), 0u);
    Application.reset();
    EXPECT_FALSE(std::filesystem::exists(OutputPath));
}
