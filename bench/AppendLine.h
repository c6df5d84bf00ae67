#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

// One printf-formatted line of the report, cut at 159 characters.
void AppendLine(std::string& out, const char* format, auto... values)
{
    std::array<char, 160> line{};
    const int length = std::snprintf(line.data(), line.size(), format, values...);
    if (length > 0)
        out.append(line.data(), std::min(static_cast<std::size_t>(length), line.size() - 1));
    out += '\n';
}
