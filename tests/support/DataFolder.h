#pragma once

#include <string>
#include <string_view>

// Where the engine looks for a data file of this name: the Data folder beside the executable.
// Tests write their own pictures there.
std::string DataFilePath(std::string_view name);
