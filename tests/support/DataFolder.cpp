#include "tests/support/DataFolder.h"

#include <filesystem>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#elif !defined(__EMSCRIPTEN__)
#include <SDL.h>
#endif

std::string DataFilePath(std::string_view name)
{
#ifdef _WIN32
    wchar_t module[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH * 4);
    const std::filesystem::path folder = std::filesystem::path(module).parent_path() / "Data";
#elif defined(__EMSCRIPTEN__)
    const std::filesystem::path folder = "/Data"; // packaged with the page, in memory
#else
    char* base = SDL_GetBasePath();
    const std::filesystem::path folder = std::filesystem::path(base != nullptr ? base : "./") / "Data";
    SDL_free(base);
#endif
    std::filesystem::create_directories(folder);
    return (folder / std::string(name)).string();
}
