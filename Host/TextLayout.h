#pragma once

#include "Host/Utf8.h"
#include "Shared/CGeneralError.h"
#include "Vantor/CTexture.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>
#include <unordered_map>

// A font: the glyph texture of each code point it has.
using TGlyphTable = std::unordered_map<std::uint32_t, std::shared_ptr<CTexture>>;

// Lays the text out in one line of touching glyphs from offset 0, calling place(glyph, offset) for
// each glyph in turn, and answers the line's width. A character the font lacks (line breaks and
// tabs included) takes no room. Offsets are 64-bit, so that no text can make them wrap. Invalid
// UTF-8 fails where it is met.
template <typename TPlace> std::int64_t LayOutText(const TGlyphTable& font, std::string_view text, TPlace&& place)
{
    std::int64_t offset = 0;
    for (std::size_t position = 0; position < text.size();)
    {
        std::uint32_t code = 0;
        if (!DecodeUtf8(text, position, code))
            throw VANTOR_GENERAL_ERROR("Invalid UTF-8 in text");
        const auto glyph = font.find(code);
        if (glyph == font.end())
            continue;
        place(*glyph->second, offset);
        offset += glyph->second->GetWidth();
    }
    return offset;
}

// The laid-out text's width in pixels; one wider than any window (and than 32 bits hold) is cut to the
// largest int32.
inline std::int32_t MeasureText(const TGlyphTable& font, std::string_view text)
{
    const std::int64_t width = LayOutText(font, text, [](const CTexture&, std::int64_t) {});
    return static_cast<std::int32_t>(std::min<std::int64_t>(width, std::numeric_limits<std::int32_t>::max()));
}
