// Every file the fuzzer keeps (seed corpus and the inputs that once broke something) goes through
// the header check and the conversion again on each run.
#include "Host/Bitmap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(BmpCorpus, KeptInputsPassTheCheckAndConversionSafely)
{
    int files = 0;
    for (const char* folder : {"corpus", "regressions"})
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(VANTOR_FUZZ_DIR) / folder))
        {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            ++files;
            const auto header = CheckBmpFile(file);
            if (!header)
                continue;
            ASSERT_LE(header->PixelOffset + static_cast<std::size_t>(header->Stride) * header->Height, file.size())
                << entry.path();
            if (header->BitsPerPixel != 24 && header->BitsPerPixel != 32)
                continue;
            const SBitmapRows rows{header->Width,  header->Height, header->BitsPerPixel,
                                   header->Stride, file.data() + header->PixelOffset, header->TopDown};
            std::vector<std::uint32_t> texels;
            ConvertToTexels(rows, true, NextPowerOfTwo(rows.Width), NextPowerOfTwo(rows.Height), texels);
            CutFontGlyphs(rows, [](std::uint32_t, std::int32_t, std::int32_t, std::int32_t,
                                   const std::vector<std::uint32_t>&) {});
        }
    // The hundred and one kept files are in the repository; more may come from fuzzing.
    EXPECT_GE(files, 101);
}
