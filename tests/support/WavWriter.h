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

inline void PutChunk(std::vector<std::uint8_t>& bytes, const std::string& id, const std::vector<std::uint8_t>& data)
{
    bytes.insert(bytes.end(), id.begin(), id.end());
    PutLittle(bytes, static_cast<std::uint32_t>(data.size()), 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    if (data.size() % 2 != 0)
        bytes.push_back(0);
}

inline std::vector<std::uint8_t> MakeWav(const SWavSpec& layout)
{
    std::vector<std::uint8_t> format;
    const std::uint32_t blockAlign = layout.Channels * ((layout.BitsPerSample + 7u) / 8u);
    PutLittle(format, layout.FormatTag, 2);
    PutLittle(format, layout.Channels, 2);
    PutLittle(format, layout.Rate, 4);
    PutLittle(format, layout.Rate * blockAlign, 4);
    PutLittle(format, blockAlign, 2);
    PutLittle(format, layout.BitsPerSample, 2);

    std::vector<std::uint8_t> file{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    PutChunk(file, "fmt ", format);
    for (const auto& [id, data] : layout.ExtraChunks)
        PutChunk(file, id, data);
    PutChunk(file, "data", layout.Samples);
    const auto riffSize = static_cast<std::uint32_t>(file.size() - 8);
    for (int i = 0; i < 4; ++i)
        file[4 + i] = static_cast<std::uint8_t>(riffSize >> (8 * i));
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
