#pragma once

// What the end-to-end tests drive and look at: a program started as a player starts it, and the X
// display it shows its windows on.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <type_traits>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using TPixels = std::vector<std::uint32_t>; // 0xRRGGBB, row after row from the top

inline constexpr std::chrono::milliseconds Patience = 60s; // Wine's first start is slow under load
inline std::string LatestOutput;                           // the files of the latest program, for failed waits

inline std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The text of a failed wait: what it waited for and what the latest program has written.
inline std::string WaitedInVain(const std::string& what, std::chrono::milliseconds timeout)
{
    return "waited " + std::to_string(timeout.count()) + " ms in vain for " + what + "\n-- output:\n" +
           ReadFile(LatestOutput + "/stdout") + "-- errors:\n" + ReadFile(LatestOutput + "/stderr");
}

// Asks until the answer is there (true, or an optional that holds a value) or the time is up.
template <typename F> auto Poll(std::chrono::milliseconds timeout, F ask)
{
    for (const auto deadline = std::chrono::steady_clock::now() + timeout;; std::this_thread::sleep_for(20ms))
        if (auto answer = ask(); answer || std::chrono::steady_clock::now() >= deadline)
            return answer;
}

// As Poll, but a missed deadline throws, naming what was waited for; gives the answer's value.
template <typename F> auto Wait(const std::string& what, F ask, std::chrono::milliseconds timeout = Patience)
{
    auto answer = Poll(timeout, ask);
    if (!answer)
        throw std::runtime_error(WaitedInVain(what, timeout));
    if constexpr (!std::is_same_v<decltype(answer), bool>)
        return *std::move(answer);
}

// Started with the launcher (such as wine; VANTOR_LAUNCHER by default) in a process group of its
// own, so that what it starts (an error box, Wine's processes) is killed with it at the end.
class CProgram
{
public:
    explicit CProgram(const std::string& path, std::vector<std::string> environment = {},
                      const std::string& launcher = Launcher())
    {
        char folder[] = "/tmp/vantor-e2e-XXXXXX";
        if (mkdtemp(folder) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        LatestOutput = Folder = folder;
        std::vector<std::string> arguments{path};
        if (!launcher.empty())
            arguments.insert(arguments.begin(), launcher);
        if ((Pid = fork()) != 0)
            return;
        setpgid(0, 0);
        dup2(open((Folder + "/stdout").c_str(), O_WRONLY | O_CREAT, 0644), 1);
        dup2(open((Folder + "/stderr").c_str(), O_WRONLY | O_CREAT, 0644), 2);
        std::vector<char*> argv;
        for (auto& each : arguments)
            argv.push_back(each.data());
        argv.push_back(nullptr);
        for (auto& variable : environment)
            putenv(variable.data());
        execvp(argv[0], argv.data());
        _exit(127);
    }
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;
    ~CProgram()
    {
        if (Pid > 0 && kill(-Pid, SIGKILL) == 0)
            waitpid(Pid, nullptr, 0);
    }

    static std::string Launcher() { return std::getenv("VANTOR_LAUNCHER") ? std::getenv("VANTOR_LAUNCHER") : ""; }
    std::string Errors() const { return ReadFile(Folder + "/stderr"); }
    // The output lines that begin with the prefix, without a Windows program's carriage returns.
    std::vector<std::string> Lines(std::string_view prefix = {}) const
    {
        std::vector<std::string> found;
        std::istringstream lines(ReadFile(Folder + "/stdout"));
        for (std::string line; std::getline(lines, line);)
            if (line.erase(line.find_last_not_of('\r') + 1).starts_with(prefix))
                found.push_back(line);
        return found;
    }
    // The nth line that begins with the prefix, once written.
    std::string WaitForLine(const std::string& prefix, std::size_t nth = 1) const
    {
        return Wait("output line " + std::to_string(nth) + " beginning \"" + prefix + "\"",
                    [&] { return Lines(prefix).size() >= nth ? std::optional(Lines(prefix)[nth - 1]) : std::nullopt; });
    }
    int WaitForExit()
    {
        const int status = Wait("the program's exit", [&] {
            int status = 0;
            return waitpid(Pid, &status, WNOHANG) == Pid ? std::optional(status) : std::nullopt;
        });
        Pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t Pid = -1;
    std::string Folder;
};

class CX11Display
{
public:
    struct SWindow
    {
        Window Id = 0;
        int X = 0, Y = 0, Width = 0, Height = 0; // the window's area on the screen
    };

    CX11Display()
    {
        // A window that vanishes while it is read gives a failed call that the waits retry.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        Connection = Poll(5s, [] { return XOpenDisplay(nullptr); }); // a busy server may refuse for a moment
        if (Connection == nullptr)
            throw std::runtime_error("no X display: set DISPLAY (the test command starts Xvfb)");
    }
    ~CX11Display() { XCloseDisplay(Connection); }

    std::pair<int, int> ScreenSize() const
    {
        return {DisplayWidth(Connection, DefaultScreen(Connection)), DisplayHeight(Connection, DefaultScreen(Connection))};
    }
    // A viewable window with exactly this title, searched from the parent down.
    std::optional<SWindow> Find(const std::string& title, Window parent = 0) const
    {
        const Window root = DefaultRootWindow(Connection);
        Window unused = 0, *children = nullptr;
        unsigned int count = 0;
        if (parent == 0)
            XSync(Connection, False);
        if (XQueryTree(Connection, parent != 0 ? parent : root, &unused, &unused, &children, &count) == 0)
            return std::nullopt;
        std::optional<SWindow> found;
        for (unsigned int i = 0; i < count && !found; ++i)
        {
            XWindowAttributes attributes{};
            XTextProperty name{};
            const bool named = XGetWindowAttributes(Connection, children[i], &attributes) != 0 &&
                               attributes.map_state == IsViewable &&
                               (XGetTextProperty(Connection, children[i], &name, XInternAtom(Connection, "_NET_WM_NAME", False)) ||
                                XGetWMName(Connection, children[i], &name)) &&
                               name.value != nullptr && title == reinterpret_cast<char*>(name.value);
            XFree(name.value);
            SWindow window{children[i], 0, 0, attributes.width, attributes.height};
            if (named && XTranslateCoordinates(Connection, window.Id, root, 0, 0, &window.X, &window.Y, &unused) != 0)
                found = window;
            else
                found = Find(title, children[i]);
        }
        XFree(children);
        return found;
    }
    SWindow WaitForWindow(const std::string& title) const
    {
        return Wait("a window titled \"" + title + "\"", [&] { return Find(title); });
    }
    // What a close button does: ask the window to close.
    void Close(const SWindow& window) const
    {
        XEvent event{};
        event.xclient = {ClientMessage, 0, False, Connection, window.Id, XInternAtom(Connection, "WM_PROTOCOLS", False),
                         32, {}};
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(Connection, "WM_DELETE_WINDOW", False));
        XSendEvent(Connection, window.Id, False, NoEventMask, &event);
        XFlush(Connection);
    }
    // The window's pixels; none when it has gone meanwhile.
    TPixels Capture(const SWindow& window) const
    {
        XImage* image = XGetImage(Connection, window.Id, 0, 0, static_cast<unsigned>(window.Width),
                                  static_cast<unsigned>(window.Height), AllPlanes, ZPixmap);
        TPixels pixels;
        for (int y = 0; image != nullptr && y < window.Height; ++y)
            for (int x = 0; x < window.Width; ++x)
                pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
        if (image != nullptr)
            XDestroyImage(image);
        return pixels;
    }
    // Gives the window the keyboard focus, then has xdotool type as a keyboard: "key a", "keydown a"...
    void Type(const SWindow& window, const std::string& xdotoolCommand) const
    {
        XSetInputFocus(Connection, window.Id, RevertToParent, CurrentTime);
        XSync(Connection, False);
        if (std::system(("xdotool " + xdotoolCommand).c_str()) != 0)
            throw std::runtime_error("failed: xdotool " + xdotoolCommand);
    }

private:
    Display* Connection = nullptr;
};
