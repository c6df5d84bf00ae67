#pragma once

#include <string_view>

// Whether a data file name stays inside the Data folder: relative, no drive, no
// ".." component, no NUL. Both separators count on both systems, so that a name
// means the same file everywhere.
bool IsDataFileName(std::string_view name);
