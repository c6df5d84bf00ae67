// The RIFF check that stands before both sound players.
#include "Host/Wave.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using TBytes = std::vector<std::uint8_t>;

void Put32(TBytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// "fmt " (16 bytes), then an odd chunk (5) followed by its pad byte, then "data" (8); the chunk headers' offsets.
constexpr std::size_t FormatChunk = 12, ListChunk = 12 + 8 + 16, DataChunk = ListChunk + 8 + 6;
const TBytes Valid = MakeWav({1, 1, 8000, 16, Samples16({1, 2, 3, 4}), {{"LIST", {'I', 'N', 'F', 'O', 'x'}}}});

// The valid file with a change, the RIFF size then set to what the file holds.
TBytes Grown(const TBytes& tail)
{
    TBytes file = Valid;
    file.insert(file.end(), tail.begin(), tail.end());
    Put32(file, 4, static_cast<std::uint32_t>(file.size() - 8));
    return file;
}

TBytes With(std::size_t at, std::uint32_t value)
{
    TBytes file = Valid;
    Put32(file, at, value);
    return file;
}
} // namespace

TEST(WaveCheck, EverySizeMustLieInsideTheRiffChunkAndTheBytesRead)
{
    TBytes unpadded = MakeWav({1, 1, 8000, 8, {128, 129, 130}, {}});
    unpadded.pop_back();
    Put32(unpadded, 4, static_cast<std::uint32_t>(unpadded.size() - 8));
    TBytes riffx = Valid, avi = Valid, trailing = Valid;
    riffx[3] = 'X';
    avi[8] = 'A';
    trailing.insert(trailing.end(), {1, 2, 3});
    TBytes beyond = trailing; // the data chunk reaching into bytes after the RIFF chunk
    Put32(beyond, DataChunk + 4, 8 + 2);
    const std::vector<std::tuple<const char*, TBytes, bool>> rows{
        {"well formed", Valid, true},
        {"bytes after the RIFF chunk are never read", trailing, true},
        {"an odd last chunk without its pad byte: nothing follows it", unpadded, true},
        {"no chunks at all", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, true},
        {"exactly one more, empty, chunk", Grown({'j', 'u', 'n', 'k', 0, 0, 0, 0}), true},
        {"no form type", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V'}, false},
        {"big-endian RIFX", riffx, false},
        {"AVI and the like", avi, false},
        {"a RIFF size too small for the form type", With(4, 3), false},
        {"RIFF size one past the end", With(4, static_cast<std::uint32_t>(Valid.size() - 7)), false},
        {"RIFF size wrapping round", With(4, 0xFFFFFFFF), false},
        {"RIFF size wrapping round to 0", With(4, 0xFFFFFFF8), false},
        {"data reaching past the RIFF size, though not past the file", beyond, false}};
    for (const auto& [what, file, valid] : rows)
        EXPECT_EQ(CheckWaveImage(file), valid) << what;
    for (std::uint8_t extra = 1; extra < 8; ++extra)
        EXPECT_FALSE(CheckWaveImage(Grown(TBytes(extra, 0)))) << "a part chunk header of " << int{extra};
    for (std::size_t length = 0; length < Valid.size(); ++length) // from nothing at all
        EXPECT_FALSE(CheckWaveImage(std::span(Valid.data(), length))) << "cut to " << length;
    for (const auto& [chunk, size] : {std::pair<std::size_t, std::uint32_t>{FormatChunk, 16}, {ListChunk, 5},
                                      {DataChunk, 8}})
    {
        // One byte more, rounded to the next even size so that the chunks after it stay aligned.
        for (const std::uint32_t wrong :
             {chunk == DataChunk ? size + 1 : size + 2, 0xFFFFFFFFu, 0xFFFFFFF0u, 0x80000000u})
            EXPECT_FALSE(CheckWaveImage(With(chunk + 4, wrong))) << "chunk at " << chunk << " size " << wrong;
    }
}
