#include "tests/e2e/CProgram.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace
{
std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
} // namespace

CProgram::CProgram(const std::string& path, const std::vector<std::pair<std::string, std::string>>& environment)
{
    char directory[] = "/tmp/vantor-e2e-XXXXXX";
    if (mkdtemp(directory) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    OutputPath = std::string(directory) + "/stdout";
    ErrorPath = std::string(directory) + "/stderr";

    std::vector<std::string> arguments;
    if (const char* launcher = std::getenv("VANTOR_LAUNCHER"); launcher != nullptr && *launcher != '\0')
        arguments.emplace_back(launcher);
    arguments.push_back(path);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable)
        variables.emplace_back(*variable);
    for (const auto& [name, value] : environment)
        variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, OutputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, ErrorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // A group of its own, so that helpers it starts (an error box, Wine's processes) go with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int result = posix_spawnp(&Pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0)
        throw std::runtime_error("could not start " + arguments[0]);
}

CProgram::~CProgram()
{
    if (Pid > 0)
    {
        kill(-Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
    }
}

std::string CProgram::Output() const
{
    return ReadFile(OutputPath);
}

std::string CProgram::Errors() const
{
    return ReadFile(ErrorPath);
}

std::optional<std::string> CProgram::WaitForLine(const std::string& prefix, std::chrono::seconds timeout,
                                                 int nth) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do
    {
        std::istringstream lines(Output());
        int seen = 0;
        for (std::string line; std::getline(lines, line);)
        {
            if (!line.empty() && line.back() == '\r') // a Windows program's text-mode output
                line.pop_back();
            if (line.rfind(prefix, 0) == 0 && ++seen == nth)
                return line;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

bool CProgram::WaitForError(const std::string& text, std::chrono::seconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Errors().find(text) == std::string::npos)
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::optional<int> CProgram::WaitForExit(std::chrono::seconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do
    {
        int status = 0;
        if (waitpid(Pid, &status, WNOHANG) == Pid)
        {
            Pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}
