#include "CMainController.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

TEST(RandomInt, StaysInTheHalfOpenRangeAndReachesEveryValue)
{
    std::mt19937 generator(2024);
    for (const auto& [low, high] : {std::pair{0, 4}, std::pair{0, 3}, std::pair{-5, 5}, std::pair{7, 8},
                                   std::pair{-2147483647 - 1, -2147483647 + 2}})
    {
        std::set<std::int32_t> seen;
        for (int draw = 0; draw < 2000; ++draw)
        {
            const std::int32_t value = RandomIntFrom(generator, low, high);
            ASSERT_GE(value, low);
            ASSERT_LT(value, high);
            seen.insert(value);
        }
        EXPECT_EQ(static_cast<std::int64_t>(seen.size()), std::int64_t{high} - low) << low << ' ' << high;
    }
    for (int draw = 0; draw < 2000; ++draw)
        ASSERT_LT(RandomIntFrom(generator, std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max()),
                  std::numeric_limits<std::int32_t>::max());

    // The game's own generator.
    std::set<std::int32_t> seen;
    for (int draw = 0; draw < 400; ++draw)
        seen.insert(RandomInt(0, 4));
    EXPECT_EQ(seen, (std::set<std::int32_t>{0, 1, 2, 3}));
}

TEST(RandomInt, ZeroToFourIsTheTopTwoBitsOfOneOutput)
{
    std::mt19937 generator(5489u);
    std::mt19937 reference(5489u);
    for (int draw = 0; draw < 1000; ++draw)
        ASSERT_EQ(RandomIntFrom(generator, 0, 4), static_cast<std::int32_t>(reference() >> 30)) << draw;
}

TEST(RandomInt, OutputsBeyondTheLastWholeBucketAreDrawnAgain)
{
    // 2^31 + 1 values: buckets of one, so about half of all outputs lie beyond the last.
    std::mt19937 generator(7);
    std::mt19937 reference(7);
    int redrawn = 0;
    for (int draw = 0; draw < 200; ++draw)
    {
        std::uint32_t u = static_cast<std::uint32_t>(reference());
        for (; u > 0x80000000u; u = static_cast<std::uint32_t>(reference()))
            ++redrawn;
        ASSERT_EQ(RandomIntFrom(generator, std::numeric_limits<std::int32_t>::min(), 1),
                  std::int64_t{std::numeric_limits<std::int32_t>::min()} + u)
            << draw;
    }
    EXPECT_GT(redrawn, 50);

    // A range as wide as the first output: that output is the whole of the first bucket past the end.
    std::mt19937 edgeGenerator(4);
    std::mt19937 edgeReference(4);
    const std::uint32_t edge = static_cast<std::uint32_t>(edgeReference());
    ASSERT_GT(edge, 0x80000000u);
    std::uint32_t next = static_cast<std::uint32_t>(edgeReference());
    while (next >= edge)
        next = static_cast<std::uint32_t>(edgeReference());
    const std::int32_t low = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(RandomIntFrom(edgeGenerator, low, static_cast<std::int32_t>(static_cast<std::uint32_t>(low) + edge)),
              std::int64_t{low} + next);
    // A range of one value takes no output.
    EXPECT_EQ(RandomIntFrom(generator, 7, 8), 7);
    EXPECT_EQ(generator(), reference());
}

TEST(RandomInt, EqualOrReversedBoundsAreAnError)
{
    std::mt19937 generator(1);
    EXPECT_THROW(RandomIntFrom(generator, 4, 4), std::invalid_argument);
    EXPECT_THROW(RandomIntFrom(generator, 5, 4), std::invalid_argument);
    EXPECT_THROW(RandomInt(0, 0), std::invalid_argument);
}

TEST(RandomInt, EachThreadDrawsItsOwnSequence)
{
    const auto draws = [] {
        std::vector<std::int32_t> values;
        for (int draw = 0; draw < 8; ++draw)
            values.push_back(RandomInt(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
        return values;
    };
    std::vector<std::int32_t> first, second;
    std::thread one([&] { first = draws(); });
    std::thread two([&] { second = draws(); });
    one.join();
    two.join();
    EXPECT_NE(first, second);
    EXPECT_NE(first, draws());
}
