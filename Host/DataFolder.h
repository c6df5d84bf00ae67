#pragma once

#include <filesystem>

// The folder a program's data files are read from: beside the executable on the desktop, the one
// packaged with the page on the web. Each backend defines it; tests write their pictures there too.
std::filesystem::path DataFolder();
