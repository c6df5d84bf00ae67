#include "tests/support/DataFolder.h"

#include "Host/DataFolder.h"

std::string DataFilePath(std::string_view name)
{
    const std::filesystem::path folder = DataFolder();
    std::filesystem::create_directories(folder);
    return (folder / std::string(name)).string();
}
