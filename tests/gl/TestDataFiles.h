#pragma once

#include "tests/support/DataFolder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
// Without the macros that would rename IVantor's LoadImage, DrawText and PlaySound.
#include "Windows/Win32.h"
#endif

// Data files the tests write for the engine to read.
inline void WriteDataFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(DataFilePath(name), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteDataFile(const std::string& name, const std::string& text)
{
    WriteDataFile(name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// A file of exactly 4 GiB that takes no room: only its size is ever looked at.
inline void WriteHugeDataFile(const std::string& name)
{
    constexpr std::uint64_t Size = std::uint64_t{1} << 32;
#ifdef _WIN32
    // The C library would write four gigabytes of zeros; moving the end leaves a hole.
    const std::wstring path = std::filesystem::path(DataFilePath(name)).wstring();
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(Size);
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
#else
    WriteDataFile(name, std::vector<std::uint8_t>{});
    std::filesystem::resize_file(DataFilePath(name), Size);
#endif
}

inline void RemoveDataFile(const std::string& name)
{
    std::error_code ignored;
    std::filesystem::remove_all(DataFilePath(name), ignored);
}
