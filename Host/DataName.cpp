#include "Host/DataName.h"

#include <algorithm>

bool IsDataFileName(std::string_view name)
{
    // A drive letter, a stream name on Windows, or a root on either system.
    if (name.find_first_of(std::string_view(":\0", 2)) != std::string_view::npos || name.starts_with('/') ||
        name.starts_with('\\'))
        return false;
    for (std::size_t start = 0; start <= name.size();)
    {
        const std::size_t end = std::min(name.find_first_of("/\\", start), name.size());
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}
