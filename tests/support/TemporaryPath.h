#pragma once

#include <filesystem>
#include <system_error>
#include <utility>

// A file or folder that a test makes where it does not own the place: whatever an interrupted
// earlier run left there is removed first, and whatever this run makes is removed however the test
// ends, a failed assertion or an exception included.
class CTemporaryPath
{
public:
    explicit CTemporaryPath(std::filesystem::path path) : Path(std::move(path)) { Remove(); }
    CTemporaryPath(const CTemporaryPath&) = delete;
    CTemporaryPath& operator=(const CTemporaryPath&) = delete;
    ~CTemporaryPath() { Remove(); }

    const std::filesystem::path& Get() const { return Path; }

private:
    void Remove() const
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }

    std::filesystem::path Path;
};
