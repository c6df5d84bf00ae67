// Hostile BMP files against the header check, the engine's reader, the conversion and font cutting:
// nothing may crash, hang, read outside the file or allocate without bound.
#include "Host/Bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto header = CheckBmpFile(std::span<const std::uint8_t>(data, size));
    if (!header)
        return 0;
    // What the check accepted lies inside the file: touch its last byte.
    const std::size_t end = header->PixelOffset + static_cast<std::size_t>(header->Stride) * header->Height;
    if (end > size)
        std::abort();
    static_cast<void>(*static_cast<const volatile std::uint8_t*>(data + end - 1));
    // The engine's own reader, which moves the channels of bit fields.
    const auto bitmap = ReadBmpFile(std::vector<std::uint8_t>(data, data + size), *header);
    const SBitmapRows& rows = bitmap->GetRows();
    if (rows.BitsPerPixel != 24 && rows.BitsPerPixel != 32)
        return 0;
    std::vector<std::uint32_t> texels;
    ConvertToTexels(rows, true, NextPowerOfTwo(rows.Width), NextPowerOfTwo(rows.Height), texels);
    CutFontGlyphs(rows,
                  [](std::uint32_t, std::int32_t, std::int32_t, std::int32_t, const std::vector<std::uint32_t>&) {});
    return 0;
}
