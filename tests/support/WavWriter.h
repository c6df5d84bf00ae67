#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// WAV files for tests: a RIFF WAVE file with a "fmt " chunk, any extra chunks, then the "data" chunk.
struct SWavSpec
{
    std::uint16_t FormatTag = 1; // PCM
    std::uint16_t Channels = 1;
    std::uint32_t Rate = 8000;
    std::uint16_t BitsPerSample = 16;
    std::vector<std::uint8_t> Samples;
    // Chunks placed between "fmt " and "data", each with its pad byte when odd.
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> ExtraChunks;
};

inline void PutLittle(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::vector<std::uint8_t> MakeWav(const SWavSpec& layout)
{
    const std::uint32_t blockAlign = layout.Channels * ((layout.BitsPerSample + 7u) / 8u);
    std::vector<std::uint8_t> format;
    for (const auto& [value, size] : {std::pair<std::uint32_t, int>{layout.FormatTag, 2}, {layout.Channels, 2},
                                      {layout.Rate, 4}, {layout.Rate * blockAlign, 4}, {blockAlign, 2},
                                      {layout.BitsPerSample, 2}})
        PutLittle(format, value, size);
    auto chunks = layout.ExtraChunks;
    chunks.insert(chunks.begin(), {"fmt ", format});
    chunks.emplace_back("data", layout.Samples);
    std::vector<std::uint8_t> file{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& [id, data] : chunks)
    {
        file.insert(file.end(), id.begin(), id.end());
        PutLittle(file, static_cast<std::uint32_t>(data.size()), 4);
        file.insert(file.end(), data.begin(), data.end());
        file.resize(file.size() + data.size() % 2);
    }
    for (int i = 0; i < 4; ++i)
        file[4 + i] = static_cast<std::uint8_t>((file.size() - 8) >> (8 * i));
    return file;
}

// 16-bit samples as little-endian bytes, channels interleaved as given.
inline std::vector<std::uint8_t> Samples16(const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> bytes;
    for (const std::int16_t sample : samples)
        PutLittle(bytes, static_cast<std::uint16_t>(sample), 2);
    return bytes;
}
