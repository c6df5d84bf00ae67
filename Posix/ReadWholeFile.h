#pragma once

#include "Host/Bitmap.h"
#include "Host/IPlatform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A data file read whole with the POSIX calls, as IPlatform::ReadDataFile promises: for the
// backends whose files live in a POSIX file system (Linux, and the web page's in-memory one).
EFileRead ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes, std::size_t extraZeroBytes);

// A picture file read whole, checked and read by the engine's reader (CheckBmpFile, ReadBmpFile);
// nothing when it cannot be read or fails the check.
std::unique_ptr<IBitmap> ReadBmpDataFile(const char* path);
