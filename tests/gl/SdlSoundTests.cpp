// The Linux backend's sound on SDL's disk audio driver, which writes every sample the device plays
// to a file: what reaches the output is read back and compared with the clips.
#include "Host/CApplication.h"
#include "Host/Wave.h"
#include "Sdl/CSdlPlatform.h"
#include "Shared/CVantorException.h"
#include "tests/gl/TestDataFiles.h"
#include "tests/support/WavWriter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <random>
#include <thread>
#include <unistd.h>

// The engine's loop never runs here, so no game is ever made.
extern "C" IMainController* CreateMainController(IVantor*)
{
    return nullptr;
}

namespace
{
// Clips at the device's own format (44.1 kHz, stereo, 16 bits), every frame telling which clip it
// belongs to and where in it it stands: the left sample holds the low 14 bits of the frame's index
// plus one (so never zero, never silence), the right one the clip's mark plus the index's high bits.
enum EMark : std::int16_t
{
    LongMark = 10000,
    ShortMark = 20000,
    MediumMark = -10000,
    BadMark = -20000,
};

std::vector<std::uint8_t> Clip(EMark mark, int frames)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < frames; ++i)
    {
        samples.push_back(static_cast<std::int16_t>((i & 0x3FFF) + 1));
        samples.push_back(static_cast<std::int16_t>(mark + (i >> 14)));
    }
    SWavSpec layout;
    layout.Channels = 2;
    layout.Rate = 44100;
    layout.Samples = Samples16(samples);
    return MakeWav(layout);
}

// A stretch of the output in which one clip played on without a break.
struct SRun
{
    int Mark;
    int First; // index of the clip's first frame in the run
    int Frames;
    bool operator==(const SRun&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SRun& run)
{
    return out << "{mark " << run.Mark << ", from " << run.First << ", " << run.Frames << " frames}";
}

class DiskSound : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        OutputPath = (std::filesystem::temp_directory_path() /
                      ("vantor-" + std::to_string(getpid()) + "-" + test->name() + ".raw"))
                         .string();
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
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }

    void Load(const std::string& name, const std::vector<std::uint8_t>& file)
    {
        WriteDataFile(name, file);
        Application->LoadSound(name);
    }

    // Until the device has taken at least this many bytes less than it was given.
    void WaitUntilQueuedBelow(std::uint32_t bytes)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Platform->SoundBytesQueued() >= bytes && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_LT(Platform->SoundBytesQueued(), bytes) << "the device took nothing";
    }

    // Closes the device, which finishes writing, and cuts what it wrote into runs.
    std::vector<SRun> Output()
    {
        Application.reset();
        std::ifstream in(OutputPath, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(bytes.size() % 4, 0u);
        std::vector<SRun> runs;
        for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4)
        {
            std::int16_t left = 0;
            std::int16_t right = 0;
            std::memcpy(&left, &bytes[at], 2);
            std::memcpy(&right, &bytes[at + 2], 2);
            if (left == 0 && right == 0)
                continue;
            int mark = 0;
            for (const int known : {LongMark, ShortMark, MediumMark, BadMark})
                if (right >= known && right < known + 64)
                    mark = known;
            EXPECT_NE(mark, 0) << "a frame of no clip: " << left << ", " << right;
            EXPECT_GT(left, 0);
            const int index = (right - mark) << 14 | (left - 1);
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

TEST_F(DiskSound, TheClipsSamplesReachTheOutputUnchanged)
{
    Load("Short.wav", Clip(ShortMark, 11025));
    Application->PlaySound("Short.wav");
    WaitUntilQueuedBelow(1);
    EXPECT_EQ(Output(), (std::vector<SRun>{{ShortMark, 0, 11025}}));
}

TEST_F(DiskSound, ClipsOfOtherFormatsAreConvertedToTheDevices)
{
    // A quarter of a second of 8-bit mono at 22.05 kHz, at a steady level of a quarter scale.
    SWavSpec layout;
    layout.BitsPerSample = 8;
    layout.Rate = 22050;
    layout.Samples.assign(5512, 160);
    Load("Mono.wav", MakeWav(layout));
    Application->PlaySound("Mono.wav");
    WaitUntilQueuedBelow(1);
    Application.reset();
    std::ifstream in(OutputPath, std::ios::binary);
    std::vector<std::int16_t> samples(std::filesystem::file_size(OutputPath) / 2);
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
    // (160 - 128) * 256 on both channels, for twice as many frames; the resampler may soften the edges.
    int level = 0;
    for (std::size_t at = 0; at + 1 < samples.size(); at += 2)
        if (std::abs(samples[at] - 8192) <= 64 && std::abs(samples[at + 1] - 8192) <= 64)
            ++level;
    EXPECT_NEAR(level, 11024, 60);
}

TEST_F(DiskSound, ASecondClipCutsOffTheFirstAndTheSameClipStartsAgain)
{
    const auto longClip = Clip(LongMark, 3 * 44100);
    // Long enough that a stalled test thread still cuts it off before it ends.
    const auto mediumClip = Clip(MediumMark, 66150);
    Load("Long.wav", longClip);
    Load("Short.wav", Clip(ShortMark, 4410));
    Load("Medium.wav", mediumClip);

    Application->PlaySound("Long.wav");
    WaitUntilQueuedBelow(static_cast<std::uint32_t>(longClip.size() - 16384));
    Application->PlaySound("Short.wav");
    WaitUntilQueuedBelow(1);
    Application->PlaySound("Medium.wav");
    WaitUntilQueuedBelow(static_cast<std::uint32_t>(mediumClip.size() - 16384));
    Application->PlaySound("Medium.wav");
    WaitUntilQueuedBelow(1);

    const auto runs = Output();
    ASSERT_EQ(runs.size(), 4u) << ::testing::PrintToString(runs);
    EXPECT_EQ(runs[0].Mark, LongMark);
    EXPECT_EQ(runs[0].First, 0);
    EXPECT_GT(runs[0].Frames, 0);
    EXPECT_LT(runs[0].Frames, 3 * 44100 / 2);
    EXPECT_EQ(runs[1], (SRun{ShortMark, 0, 4410}));
    EXPECT_EQ(runs[2].Mark, MediumMark);
    EXPECT_EQ(runs[2].First, 0);
    EXPECT_LT(runs[2].Frames, 66150);
    EXPECT_EQ(runs[3], (SRun{MediumMark, 0, 66150}));
}

TEST_F(DiskSound, MalformedFilesPlayNothingAndRaiseNothing)
{
    // Each of them holds samples that would show in the output if any part of it were played.
    const auto bad = Clip(BadMark, 4410);
    // Cut short, as by a download that stopped: the RIFF and data sizes tell of more than is there.
    auto beyond = bad;
    beyond[4] = 0xFF;
    beyond[6] = 0x02;
    beyond[40] = 0xFF;
    beyond[42] = 0x02;
    auto undecodable = bad;
    undecodable[20] = 0x34; // a format tag SDL does not know, inside a file that is otherwise sound
    undecodable[21] = 0x12;
    ASSERT_TRUE(CheckWaveImage(undecodable));
    std::mt19937 random(11);
    std::vector<std::uint8_t> noise(4000);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    Load("Truncated.wav", std::vector<std::uint8_t>(bad.begin(), bad.begin() + 30));
    Load("Beyond.wav", beyond);
    Load("Noise.wav", noise);
    Load("Empty.wav", {});
    Load("Undecodable.wav", undecodable);
    const auto longClip = Clip(LongMark, 3 * 44100);
    Load("Long.wav", longClip);
    Load("Short.wav", Clip(ShortMark, 4410));

    Application->PlaySound("Long.wav");
    WaitUntilQueuedBelow(static_cast<std::uint32_t>(longClip.size() - 16384));
    for (const char* name : {"Undecodable.wav", "Truncated.wav", "Beyond.wav", "Noise.wav", "Empty.wav"})
    {
        EXPECT_NO_THROW(Application->PlaySound(name)) << name;
        EXPECT_EQ(Platform->SoundBytesQueued(), 0u) << name;
        // Time for the device to take whatever had been queued.
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    // The device still plays what it can.
    Application->PlaySound("Short.wav");
    WaitUntilQueuedBelow(1);

    const auto runs = Output();
    ASSERT_EQ(runs.size(), 2u) << ::testing::PrintToString(runs);
    EXPECT_EQ(runs[0].Mark, LongMark);
    EXPECT_LT(runs[0].Frames, 3 * 44100 / 2);
    EXPECT_EQ(runs[1], (SRun{ShortMark, 0, 4410}));
}

TEST_F(DiskSound, WithoutADeviceEverythingIsSilentAndNothingFails)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Load("Short.wav", Clip(ShortMark, 4410));
    for (int i = 0; i < 3; ++i)
        EXPECT_NO_THROW(Application->PlaySound("Short.wav"));
    EXPECT_EQ(Platform->SoundBytesQueued(), 0u);
    // A driver that appears later is not tried: the failure is remembered.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    Application->PlaySound("Short.wav");
    EXPECT_EQ(Platform->SoundBytesQueued(), 0u);
    Application.reset();
    EXPECT_FALSE(std::filesystem::exists(OutputPath));
}

// Every file the WAV fuzzer keeps that passes the check goes through SDL's decoding and the
// conversion again, under the sanitizers in that build.
TEST(WaveDecoding, KeptFuzzInputsDecodeSafely)
{
    int decoded = 0;
    for (const char* folder : {"wav-corpus", "wav-regressions"})
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(VANTOR_FUZZ_DIR) / folder))
        {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!CheckWaveImage(file))
                continue;
            std::vector<std::uint8_t> samples;
            if (DecodeWave(file, AUDIO_S16SYS, 2, 44100, samples))
            {
                ++decoded;
                EXPECT_EQ(samples.size() % 4, 0u) << entry.path();
            }
        }
    // PCM at two depths, float, A-law, mu-law and IMA ADPCM.
    EXPECT_GE(decoded, 6);
}
