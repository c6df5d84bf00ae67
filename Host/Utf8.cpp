#include "Host/Utf8.h"

bool DecodeUtf8(std::string_view text, std::size_t& position, std::uint32_t& codePoint)
{
    const auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(text[at]); };
    const std::uint8_t lead = byte(position);
    std::size_t length = 0;
    std::uint32_t value = 0;
    std::uint32_t smallest = 0;
    if (lead < 0x80)
    {
        codePoint = lead;
        ++position;
        return true;
    }
    if ((lead & 0xE0) == 0xC0)
    {
        length = 2;
        value = lead & 0x1Fu;
        smallest = 0x80;
    }
    else if ((lead & 0xF0) == 0xE0)
    {
        length = 3;
        value = lead & 0x0Fu;
        smallest = 0x800;
    }
    else if ((lead & 0xF8) == 0xF0)
    {
        length = 4;
        value = lead & 0x07u;
        smallest = 0x10000;
    }
    else
        return false;
    if (text.size() - position < length)
        return false;
    for (std::size_t i = 1; i < length; ++i)
    {
        const std::uint8_t next = byte(position + i);
        if ((next & 0xC0) != 0x80)
            return false;
        value = value << 6 | (next & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    codePoint = value;
    position += length;
    return true;
}
