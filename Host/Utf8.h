#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Decodes the code point at position and moves position past it. False, position unchanged, for
// bytes that are not well-formed UTF-8 (overlong forms, surrogates, values above U+10FFFF, cut off).
bool DecodeUtf8(std::string_view text, std::size_t& position, std::uint32_t& codePoint);
