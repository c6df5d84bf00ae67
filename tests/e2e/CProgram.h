#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A program under test, started with the launcher named in VANTOR_LAUNCHER (such as wine) when set,
// its standard output and error captured in files.
class CProgram
{
public:
    CProgram(const std::string& path, const std::vector<std::pair<std::string, std::string>>& environment);
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;
    ~CProgram();

    std::string Output() const;
    std::string Errors() const;
    // The nth output line that begins with the prefix, once it has been written.
    std::optional<std::string> WaitForLine(const std::string& prefix, std::chrono::seconds timeout,
                                           int nth = 1) const;
    // Whether the error output holds the text within the time.
    bool WaitForError(const std::string& text, std::chrono::seconds timeout) const;
    // The exit code, or nothing when the program is still running after the timeout.
    std::optional<int> WaitForExit(std::chrono::seconds timeout);

private:
    pid_t Pid = -1;
    std::string OutputPath;
    std::string ErrorPath;
};
