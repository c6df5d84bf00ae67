// The RIFF check that stands before both sound players.
#include "Host/Wave.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{
std::vector<std::uint8_t> Valid()
{
    SWavSpec layout;
    layout.Samples = Samples16({1, 2, 3, 4});
    layout.ExtraChunks = {{"LIST", {'I', 'N', 'F', 'O', 'x'}}}; // odd: followed by its pad byte
    return MakeWav(layout);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes.at(at)) | static_cast<std::uint32_t>(bytes.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(bytes.at(at + 2)) << 16 | static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}

// Offsets of the chunk headers of a file made by MakeWav: "fmt ", the extra chunk, "data".
constexpr std::size_t FormatChunk = 12;
constexpr std::size_t ListChunk = 12 + 8 + 16;
constexpr std::size_t DataChunk = ListChunk + 8 + 6;
} // namespace

TEST(WaveCheck, WellFormedFilesPass)
{
    const auto file = Valid();
    ASSERT_EQ(std::string(file.begin() + DataChunk, file.begin() + DataChunk + 4), "data");
    EXPECT_TRUE(CheckWaveImage(file));

    // Bytes after the RIFF chunk are never read.
    auto trailing = file;
    trailing.insert(trailing.end(), {1, 2, 3});
    EXPECT_TRUE(CheckWaveImage(trailing));

    // An odd last chunk may go without its pad byte: nothing follows it to be found.
    SWavSpec layout;
    layout.BitsPerSample = 8;
    layout.Samples = {128, 129, 130};
    auto unpadded = MakeWav(layout);
    unpadded.pop_back();
    Put32(unpadded, 4, static_cast<std::uint32_t>(unpadded.size() - 8));
    EXPECT_TRUE(CheckWaveImage(unpadded));

    // No chunks at all: nothing lies outside, the player finds nothing to play.
    EXPECT_TRUE(CheckWaveImage(std::vector<std::uint8_t>{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}));
}

TEST(WaveCheck, WhatIsNotARiffWaveFileFails)
{
    EXPECT_FALSE(CheckWaveImage({}));
    EXPECT_FALSE(CheckWaveImage(std::vector<std::uint8_t>{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V'}));
    auto file = Valid();
    file[3] = 'X'; // big-endian "RIFX"
    EXPECT_FALSE(CheckWaveImage(file));
    file = Valid();
    file[8] = 'A'; // "AVI " and the like
    EXPECT_FALSE(CheckWaveImage(file));
    // A RIFF size too small to hold even the form type.
    file = Valid();
    Put32(file, 4, 3);
    EXPECT_FALSE(CheckWaveImage(file));
}

TEST(WaveCheck, EverySizeMustLieInsideTheBytesRead)
{
    const auto valid = Valid();
    // Every truncation: the RIFF size now points past the end.
    for (std::size_t length = 0; length < valid.size(); ++length)
        EXPECT_FALSE(CheckWaveImage(std::span(valid.data(), length))) << length;

    auto file = valid;
    Put32(file, 4, static_cast<std::uint32_t>(file.size() - 8 + 1));
    EXPECT_FALSE(CheckWaveImage(file)) << "RIFF size one past the end";
    // Sizes that would wrap round in 32-bit arithmetic.
    Put32(file, 4, 0xFFFFFFFF);
    EXPECT_FALSE(CheckWaveImage(file));
    Put32(file, 4, 0xFFFFFFF8);
    EXPECT_FALSE(CheckWaveImage(file));

    for (const std::size_t chunk : {FormatChunk, ListChunk, DataChunk})
    {
        file = valid;
        const std::uint32_t size = Get32(file, chunk + 4);
        // One byte more, rounded to the next even size so that the chunks after it stay aligned.
        Put32(file, chunk + 4, chunk == DataChunk ? size + 1 : size + 2);
        EXPECT_FALSE(CheckWaveImage(file)) << "chunk at " << chunk;
        for (const std::uint32_t wild : {0xFFFFFFFFu, 0xFFFFFFF0u, 0x80000000u})
        {
            Put32(file, chunk + 4, wild);
            EXPECT_FALSE(CheckWaveImage(file)) << "chunk at " << chunk << " size " << wild;
        }
    }
}

TEST(WaveCheck, ChunksMustEndWithinTheRiffChunkAndLeaveNoPartHeader)
{
    // The data chunk reaches past the RIFF size, though not past the file.
    auto file = Valid();
    file.insert(file.end(), {0, 0, 0, 0});
    Put32(file, DataChunk + 4, Get32(file, DataChunk + 4) + 4);
    EXPECT_FALSE(CheckWaveImage(file));

    // Bytes inside the RIFF chunk too few for another chunk header.
    for (std::uint8_t extra = 1; extra < 8; ++extra)
    {
        file = Valid();
        file.insert(file.end(), extra, 0);
        Put32(file, 4, static_cast<std::uint32_t>(file.size() - 8));
        EXPECT_FALSE(CheckWaveImage(file)) << static_cast<int>(extra);
    }
    // Exactly one more, empty, chunk is fine.
    file = Valid();
    file.insert(file.end(), {'j', 'u', 'n', 'k', 0, 0, 0, 0});
    Put32(file, 4, static_cast<std::uint32_t>(file.size() - 8));
    EXPECT_TRUE(CheckWaveImage(file));
}

// Every file the WAV fuzzer keeps goes through the check again; what passes is walked chunk by
// chunk with bounds-checked reads, so an accepted size outside the file fails here.
TEST(WaveCorpus, KeptInputsPassTheCheckSafely)
{
    int files = 0;
    int accepted = 0;
    for (const char* folder : {"wav-corpus", "wav-regressions"})
    {
        const auto path = std::filesystem::path(VANTOR_FUZZ_DIR) / folder;
        for (const auto& entry : std::filesystem::directory_iterator(path))
        {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            ++files;
            if (!CheckWaveImage(file))
                continue;
            ++accepted;
            const std::size_t end = 8 + std::size_t{Get32(file, 4)};
            for (std::size_t offset = 12; offset < end;)
            {
                const std::size_t size = Get32(file, offset + 4);
                ASSERT_LE(offset + 8 + size, end) << entry.path();
                offset += 8 + size + (size & 1);
            }
        }
    }
    // The eleven seeds, seven of them sound, and the one regression are in the repository; fuzzing
    // may add more.
    EXPECT_GE(files, 12);
    EXPECT_GE(accepted, 7);
}
