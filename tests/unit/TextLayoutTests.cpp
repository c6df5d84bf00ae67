#include "Host/TextLayout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

// A line far wider than 32 bits count keeps growing, glyph by glyph, and its width stops at the
// largest int32 instead of wrapping round to a small or negative one.
TEST(TextLayout, OffsetsGrowPastTheInt32RangeAndTheWidthStopsAtItsEnd)
{
    const TGlyphTable font{{'W', std::make_shared<CTexture>(1 << 20, 14, 1.0f, 1.0f, 1)}};
    const std::string text(4096, 'W');
    std::int64_t last = -1;
    EXPECT_EQ(LayOutText(font, text, [&](const CTexture&, std::int64_t offset) { last = offset; }), std::int64_t{1} << 32);
    EXPECT_EQ(last, std::int64_t{4095} << 20);
    EXPECT_EQ(MeasureText(font, text), std::numeric_limits<std::int32_t>::max());
}
