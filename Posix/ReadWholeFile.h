#pragma once

#include "Host/IPlatform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A data file read whole with the POSIX calls, as IPlatform::ReadDataFile promises: for the
// backends whose files live in a POSIX file system (Linux, and the web page's in-memory one).
EFileRead ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes, std::size_t extraZeroBytes);
