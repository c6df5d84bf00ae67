// Hostile WAV files against the RIFF check and, for what passes it, the Linux backend's decoding and
// conversion through SDL: nothing may crash, hang, read outside the file or allocate without bound.
#include "Host/Wave.h"
#include "Sdl/CSdlPlatform.h"

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace
{
std::uint32_t Little32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> file(data, size);
    if (!CheckWaveImage(file))
        return 0;
    // What the check accepted lies inside the file, as a player trusting the sizes would walk it:
    // touch the last byte of every chunk.
    const std::size_t end = 8 + std::size_t{Little32(data + 4)};
    if (end > size)
        std::abort();
    for (std::size_t offset = 12; offset < end;)
    {
        const std::size_t chunk = Little32(data + offset + 4);
        if (offset + 8 + chunk > end)
            std::abort();
        static_cast<void>(*static_cast<const volatile std::uint8_t*>(data + offset + 8 + chunk - 1));
        offset += 8 + chunk + (chunk & 1);
    }

    // The Linux backend's player sees only images that passed the check.
    std::vector<std::uint8_t> samples;
    DecodeWave(file, AUDIO_S16SYS, 2, 44100, samples);
    return 0;
}
