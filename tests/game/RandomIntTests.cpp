#include "CMainController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>
#include <stdexcept>
#include <thread>

namespace
{
constexpr std::int32_t Lowest = std::numeric_limits<std::int32_t>::min();
} // namespace

// Each row: a range, and the draw a second generator in step predicts (none: only range and reach).
TEST(RandomInt, DrawsAreUniformBucketsOfTheGeneratorsOutputs)
{
    // The first output of this seed lies beyond 2^31; the last row's range is exactly that wide.
    const std::uint32_t first = std::mt19937(4)();
    ASSERT_GT(first, 0x80000000u);
    // Ranges wider than 2^31: buckets of one value, and outputs from the width on are drawn again.
    const auto whole = [](std::uint32_t width) {
        return [width](std::mt19937& reference) {
            std::uint32_t u = static_cast<std::uint32_t>(reference());
            while (u >= width)
                u = static_cast<std::uint32_t>(reference());
            return std::int64_t{Lowest} + u;
        };
    };
    const std::tuple<std::int32_t, std::int32_t, std::function<std::int64_t(std::mt19937&)>> rows[] = {
        {0, 4, [](std::mt19937& reference) { return static_cast<std::int64_t>(reference() >> 30); }},
        {-5, 5, nullptr},
        {0, 3, nullptr},
        {7, 8, [](std::mt19937&) { return std::int64_t{7}; }}, // one value takes no output
        {Lowest, 1, whole(0x80000001u)},
        {Lowest, std::numeric_limits<std::int32_t>::max(), whole(0xFFFFFFFFu)},
        {Lowest, static_cast<std::int32_t>(0x80000000u + first), whole(first)},
    };
    for (const auto& [low, high, predicted] : rows)
    {
        std::mt19937 generator(4);
        std::mt19937 reference(4);
        std::set<std::int32_t> seen;
        for (int draw = 0; draw < 2000; ++draw)
        {
            const std::int32_t value = RandomIntFrom(generator, low, high);
            ASSERT_TRUE(value >= low && value < high) << low << ' ' << high;
            ASSERT_TRUE(!predicted || value == predicted(reference)) << low << ' ' << high << " draw " << draw;
            seen.insert(value);
        }
        const std::int64_t values = std::int64_t{high} - low;
        EXPECT_TRUE(values > 10 || std::ssize(seen) == values) << low << ' ' << high;
    }
    std::mt19937 generator(1);
    EXPECT_THROW(RandomIntFrom(generator, 4, 4), std::invalid_argument);
    EXPECT_THROW(RandomIntFrom(generator, 5, 4), std::invalid_argument);
}

// Each thread seeds a generator of its own, once.
TEST(RandomInt, EachThreadDrawsItsOwnSequence)
{
    const auto draws = [] {
        std::vector<std::int32_t> values(8);
        std::ranges::generate(values, [] { return RandomInt(Lowest, std::numeric_limits<std::int32_t>::max()); });
        return values;
    };
    std::vector<std::int32_t> other;
    std::thread([&] { other = draws(); }).join();
    EXPECT_NE(draws(), other);
    EXPECT_NE(draws(), draws());
}
