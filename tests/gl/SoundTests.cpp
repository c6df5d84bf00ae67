// Sound clips through the real backend of each build: valid and malformed images play without an
// error, again and again. The messages are the host's (tests/host), the file outcomes the
// backend's (DataFileTests.cpp); what reaches the output is tests/gl/SdlSoundTests.cpp's. Whether
// a player waits for its clip cannot be seen on a machine without a sound device, so it is not
// timed here.
#include "Shared/CVantorException.h"
#include "tests/gl/GLTestSupport.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace
{
// Ten seconds at one steady level: a clip far longer than any call may take, that nobody hears.
std::vector<std::uint8_t> LongClip()
{
    SWavSpec layout;
    layout.BitsPerSample = 8;
    layout.Samples.assign(80000, 128);
    return MakeWav(layout);
}
} // namespace

TEST(Sounds, ValidAndMalformedImagesPlayWithoutAnError)
{
    const auto clip = LongClip();
    auto beyond = clip;
    beyond[40] = 0xFF; // the data size, far past the end
    beyond[41] = 0xFF;
    std::mt19937 random(5);
    std::vector<std::uint8_t> noise(300);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    WriteDataFile("Long.wav", clip);
    WriteDataFile("Truncated.wav", std::vector<std::uint8_t>(clip.begin(), clip.begin() + 30));
    WriteDataFile("Beyond.wav", beyond);
    WriteDataFile("Noise.wav", noise);
    WriteDataFile("Empty.wav", std::vector<std::uint8_t>{});

    for (const char* name : {"Long.wav", "Truncated.wav", "Beyond.wav", "Noise.wav", "Empty.wav"})
    {
        Engine().LoadSound(name);
        EXPECT_EQ(ErrorOf([&] { Engine().PlaySound(name); }), "no error") << name;
        // Again while it may still be playing: it starts over.
        EXPECT_EQ(ErrorOf([&] { Engine().PlaySound(name); }), "no error") << name;
        EXPECT_EQ(ErrorOf([] { Engine().PlaySound("Long.wav"); }), "no error") << name;
    }
}
