#include "Host/Utf8.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// The code points of a text, or nothing past the first bad byte (the count decoded is kept).
std::vector<std::uint32_t> Decode(std::string_view text, bool& valid)
{
    std::vector<std::uint32_t> codes;
    valid = true;
    for (std::size_t position = 0; position < text.size();)
    {
        std::uint32_t code = 0;
        if (!DecodeUtf8(text, position, code))
        {
            valid = false;
            break;
        }
        codes.push_back(code);
    }
    return codes;
}
} // namespace

TEST(Utf8, OneCodePointPerCharacterOfAnyLength)
{
    bool valid = false;
    EXPECT_EQ(Decode("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8C\xB3", valid),
              (std::vector<std::uint32_t>{'A', 0xE9, 0x20AC, 0x1F333}));
    EXPECT_TRUE(valid);
    EXPECT_EQ(Decode(std::string_view("\0\n", 2), valid), (std::vector<std::uint32_t>{0, '\n'}));
}

TEST(Utf8, MalformedBytesStopTheDecoder)
{
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF",
                            "\xE2\x82", "\xC3\x41"})
    {
        bool valid = true;
        const auto codes = Decode(std::string("ok") + bad, valid);
        EXPECT_FALSE(valid) << bad;
        EXPECT_EQ(codes.size(), 2u) << bad;
    }
}

TEST(Utf8, ASequenceCutOffByTheEndOfTheTextIsMalformed)
{
    // The byte that would complete it lies just past the text's end and must not be read.
    const char bytes[] = "\xE2\x82\xAC";
    bool valid = true;
    EXPECT_TRUE(Decode(std::string_view(bytes, 2), valid).empty());
    EXPECT_FALSE(valid);
}
