#include "Host/Utf8.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// The code points of a text up to its first bad byte, and whether there was one.
std::pair<std::vector<std::uint32_t>, bool> Decode(std::string_view text)
{
    std::vector<std::uint32_t> codes;
    for (std::size_t position = 0; position < text.size();)
    {
        std::uint32_t code = 0;
        if (!DecodeUtf8(text, position, code))
            return {codes, false};
        codes.push_back(code);
    }
    return {codes, true};
}
} // namespace

TEST(Utf8, OneCodePointPerCharacterOfAnyLengthAndNothingPastAMalformedOne)
{
    using TCodes = std::vector<std::uint32_t>;
    EXPECT_EQ(Decode("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8C\xB3"), std::pair(TCodes{'A', 0xE9, 0x20AC, 0x1F333}, true));
    EXPECT_EQ(Decode(std::string_view("\0\n", 2)), std::pair(TCodes{0, '\n'}, true));
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF",
                            "\xE2\x82", "\xC3\x41"})
        EXPECT_EQ(Decode(std::string("ok") + bad), std::pair(TCodes{'o', 'k'}, false)) << bad;
    // Cut off by the text's end, at its start or further on: the bytes that would complete it lie just
    // past the end and must not be read.
    const char euro[] = "ok\xE2\x82\xAC";
    EXPECT_EQ(Decode(std::string_view(euro + 2, 2)), std::pair(TCodes{}, false));
    EXPECT_EQ(Decode(std::string_view(euro, 4)), std::pair(TCodes{'o', 'k'}, false));
}
