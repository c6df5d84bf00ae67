// Hostile WAV files against the RIFF check and, for what passes it, the Linux backend's decoding and
// conversion through SDL: nothing may crash, hang, read outside the file or allocate without bound.
#include "Host/Wave.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#ifndef _WIN32
#include "Sdl/CSdlSound.h"

#include <SDL.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!CheckWaveImage(std::span<const std::uint8_t>(data, size)))
        return 0;
    // What the check accepted lies inside the file, as a player trusting the sizes would walk it:
    // touch the last byte of every chunk.
    const auto little32 = [&](std::size_t at) {
        return std::size_t{data[at]} | std::size_t{data[at + 1]} << 8 | std::size_t{data[at + 2]} << 16 |
               std::size_t{data[at + 3]} << 24;
    };
    const std::size_t end = 8 + little32(4);
    for (std::size_t offset = 12, chunk = 0; offset < end; offset += 8 + chunk + (chunk & 1))
    {
        chunk = little32(offset + 4);
        if (end > size || offset + 8 + chunk > end)
            std::abort();
        static_cast<void>(*static_cast<const volatile std::uint8_t*>(data + offset + 8 + chunk - 1));
    }
#ifndef _WIN32
    // The Linux backend's player sees only images that passed the check.
    std::vector<std::uint8_t> samples;
    DecodeWave(std::span<const std::uint8_t>(data, size), AUDIO_S16SYS, 2, 44100, samples);
#endif
    return 0;
}
