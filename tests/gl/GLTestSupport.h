#pragma once

#include "Vantor/GL.h"
#include "Vantor/IVantor.h"
#include "tests/support/DataFolder.h"
#include "tests/support/ErrorOf.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
// Without the macros that would rename IVantor's LoadImage, DrawText and PlaySound.
#include "Windows/Win32.h"
#endif

// The engine the tests run on: started by the real host and backend, its context current.
IVantor& Engine();

// Red, green and blue.
using TRgb = std::array<int, 3>;

// The pixel (x, y) of the frame being drawn, counted from the window's top-left corner.
inline TRgb PixelAt(int x, int y)
{
    GLubyte pixel[4] = {};
    glReadPixels(x, 600 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

inline bool Near(const TRgb& actual, const TRgb& expected, int tolerance)
{
    return std::abs(actual[0] - expected[0]) <= tolerance && std::abs(actual[1] - expected[1]) <= tolerance &&
           std::abs(actual[2] - expected[2]) <= tolerance;
}

// A new frame as a game starts one: view reset, default settings, cleared to black.
inline void ResetFrame()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Engine().SetView(800, 600);
    Engine().SetAlpha(1.0f);
    Engine().SetPixelSnap(true);
    Engine().SetSmoothing(false);
    Engine().SetClearColour(0.0f, 0.0f, 0.0f);
    Engine().Clear();
}

inline void WriteDataFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(DataFilePath(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A file of exactly 4 GiB that takes no room: only its size is ever looked at.
inline void WriteHugeDataFile(const std::string& name)
{
#ifdef _WIN32
    // The C library would write four gigabytes of zeros; moving the end leaves a hole.
    const HANDLE file = CreateFileW(std::filesystem::path(DataFilePath(name)).wstring().c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = LONGLONG{1} << 32;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
#else
    WriteDataFile(name, std::vector<std::uint8_t>{});
    std::filesystem::resize_file(DataFilePath(name), std::uint64_t{1} << 32);
#endif
}
