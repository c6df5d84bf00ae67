#include "Host/Wave.h"

#include <cstring>

namespace
{
std::uint32_t ReadLittle32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}
} // namespace

bool CheckWaveImage(std::span<const std::uint8_t> image)
{
    constexpr std::size_t HeaderSize = 8;
    if (image.size() < 12 || std::memcmp(image.data(), "RIFF", 4) != 0 || std::memcmp(image.data() + 8, "WAVE", 4) != 0)
        return false;
    // 64-bit arithmetic: a size near 2^32 must not wrap round to something small.
    const std::uint64_t riffEnd = HeaderSize + std::uint64_t{ReadLittle32(image.data() + 4)};
    // The form type "WAVE" is the first thing inside the RIFF chunk.
    if (riffEnd < 12 || riffEnd > image.size())
        return false;
    std::uint64_t offset = 12;
    while (offset < riffEnd)
    {
        // A reader that finds bytes left looks for a whole chunk header there.
        if (offset + HeaderSize > riffEnd)
            return false;
        const std::uint64_t size = ReadLittle32(image.data() + offset + 4);
        const std::uint64_t end = offset + HeaderSize + size;
        if (end > riffEnd)
            return false;
        // Chunks start on even offsets; a missing pad byte after the last chunk is never read.
        offset = end + (size & 1);
    }
    return true;
}
