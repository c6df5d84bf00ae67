// Every file the fuzzers keep (seed corpora and the inputs that once broke something) goes through
// the fuzzer's own entry again on each run: it aborts where a check let through a size outside the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <vector>

extern "C" int FuzzBmpInput(const std::uint8_t* data, std::size_t size);
extern "C" int FuzzWavInput(const std::uint8_t* data, std::size_t size);

TEST(Corpus, EveryKeptInputReplaysSafelyAndNoneHasVanished)
{
    // The files in the repository; fuzzing may add more.
    for (const auto& [name, count, fuzz] :
         {std::tuple{"corpus", 101, &FuzzBmpInput}, {"regressions", 0, FuzzBmpInput}, {"wav-corpus", 11, FuzzWavInput},
          {"wav-regressions", 1, FuzzWavInput}})
    {
        int files = 0;
        const auto folder = std::filesystem::path(VANTOR_FUZZ_DIR) / name;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
        {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            fuzz(file.data(), file.size());
            ++files;
        }
        EXPECT_GE(files, count) << name;
    }
}
