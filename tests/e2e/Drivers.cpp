#include "tests/e2e/Drivers.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace
{
const CProgram* Latest = nullptr; // the program whose output a failed wait shows

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
} // namespace

std::string WaitedInVain(const std::string& what, std::chrono::milliseconds timeout)
{
    std::string text = "waited " + std::to_string(timeout.count()) + " ms in vain for " + what;
    if (Latest != nullptr)
        text += "\n-- the program's output:\n" + Latest->Output() + "-- its errors:\n" + Latest->Errors();
    return text;
}

CProgram::CProgram(const std::string& path, const std::vector<std::string>& environment, const std::string& launcher)
{
    char folder[] = "/tmp/vantor-e2e-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    Folder = folder;
    std::vector<std::string> arguments{path};
    if (!launcher.empty())
        arguments.insert(arguments.begin(), launcher);
    std::vector<std::string> variables(environment);
    for (char** variable = environ; *variable != nullptr; ++variable)
        variables.emplace_back(*variable);
    const auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> all;
        for (auto& each : strings)
            all.push_back(each.data());
        all.push_back(nullptr);
        return all;
    };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (Folder + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (Folder + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // A group of its own, so that what it starts (an error box, Wine's processes) goes with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    const int result = posix_spawnp(&Pid, arguments[0].c_str(), &actions, &attributes, pointers(arguments).data(),
                                    pointers(variables).data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0)
        throw std::runtime_error("could not start " + arguments[0]);
    Latest = this;
}

CProgram::~CProgram()
{
    if (Pid > 0)
    {
        kill(-Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
    }
    if (Latest == this)
        Latest = nullptr;
}

std::string CProgram::DefaultLauncher()
{
    const char* launcher = std::getenv("VANTOR_LAUNCHER");
    return launcher != nullptr ? launcher : "";
}

std::string CProgram::Output() const
{
    return ReadFile(Folder + "/stdout");
}

std::string CProgram::Errors() const
{
    return ReadFile(Folder + "/stderr");
}

std::vector<std::string> CProgram::Lines(std::string_view prefix) const
{
    std::vector<std::string> found;
    std::istringstream lines(Output());
    for (std::string line; std::getline(lines, line);)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with(prefix))
            found.push_back(line);
    }
    return found;
}

std::string CProgram::WaitForLine(const std::string& prefix, std::size_t nth) const
{
    const std::string what = "output line " + std::to_string(nth) + " beginning \"" + prefix + "\"";
    return Wait(what, [&]() -> std::optional<std::string> {
        const auto lines = Lines(prefix);
        return lines.size() >= nth ? std::optional(lines[nth - 1]) : std::nullopt;
    });
}

int CProgram::WaitForExit()
{
    const int status = Wait("the program's exit", [&]() -> std::optional<int> {
        int status = 0;
        return waitpid(Pid, &status, WNOHANG) == Pid ? std::optional(status) : std::nullopt;
    });
    Pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

namespace
{
std::string Title(Display* display, Window window)
{
    XTextProperty property{};
    std::string title;
    if (XGetTextProperty(display, window, &property, XInternAtom(display, "_NET_WM_NAME", False)) == 0 &&
        XGetWMName(display, window, &property) == 0)
        return title;
    if (property.value != nullptr)
        title.assign(reinterpret_cast<char*>(property.value), property.nitems);
    XFree(property.value);
    return title;
}

std::optional<Window> Find(Display* display, Window parent, const std::string& title)
{
    Window root = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &root, &children, &count) == 0)
        return std::nullopt;
    const std::vector<Window> all(children, children + count);
    XFree(children);
    for (Window child : all)
    {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, child, &attributes) != 0 && attributes.map_state == IsViewable &&
            Title(display, child) == title)
            return child;
        if (auto found = Find(display, child, title))
            return found;
    }
    return std::nullopt;
}
} // namespace

CX11Display::CX11Display()
{
    // A window that vanishes while it is read gives a failed call to retry, not the end of the process.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    // A busy server can refuse a connection for a moment.
    Connection = Poll(5s, [] { return XOpenDisplay(nullptr); });
    if (Connection == nullptr)
        throw std::runtime_error("no X display: set DISPLAY (the test command starts Xvfb)");
}

CX11Display::~CX11Display()
{
    XCloseDisplay(Connection);
}

int CX11Display::ScreenWidth() const
{
    return DisplayWidth(Connection, DefaultScreen(Connection));
}

int CX11Display::ScreenHeight() const
{
    return DisplayHeight(Connection, DefaultScreen(Connection));
}

std::optional<CX11Display::SWindow> CX11Display::Find(const std::string& title) const
{
    XSync(Connection, False);
    const Window root = DefaultRootWindow(Connection);
    const auto window = ::Find(Connection, root, title);
    XWindowAttributes attributes{};
    SWindow found{window.value_or(0)};
    Window child = 0;
    if (!window || XGetWindowAttributes(Connection, *window, &attributes) == 0 ||
        XTranslateCoordinates(Connection, *window, root, 0, 0, &found.X, &found.Y, &child) == 0)
        return std::nullopt;
    found.Width = attributes.width;
    found.Height = attributes.height;
    return found;
}

CX11Display::SWindow CX11Display::WaitForWindow(const std::string& title) const
{
    return Wait("a window titled \"" + title + "\"", [&] { return Find(title); });
}

void CX11Display::Close(const SWindow& window) const
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window.Id;
    event.xclient.message_type = XInternAtom(Connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(Connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(Connection, window.Id, False, NoEventMask, &event);
    XFlush(Connection);
}

void CX11Display::Type(const SWindow& window, const std::string& xdotoolCommand) const
{
    XSetInputFocus(Connection, window.Id, RevertToParent, CurrentTime);
    XSync(Connection, False);
    // xdotool sends real key events through the XTest extension, as a keyboard would.
    if (std::system(("xdotool " + xdotoolCommand).c_str()) != 0)
        throw std::runtime_error("failed: xdotool " + xdotoolCommand);
}

TPixels CX11Display::Capture(const SWindow& window) const
{
    XSync(Connection, False);
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

namespace
{
std::uint32_t ReadLE(const std::string& file, std::size_t at, std::size_t bytes = 4)
{
    std::uint32_t value = 0;
    for (std::size_t i = bytes; i-- > 0;)
        value = value << 8 | static_cast<std::uint8_t>(file.at(at + i));
    return value;
}

constexpr std::uint32_t Magenta = 0xFF00FF;
constexpr std::uint32_t Green = 0x00FF00;
} // namespace

CExpectedScreen::SImage CExpectedScreen::Read(const std::string& path)
{
    // The game's own files: 24-bit, bottom-up, BITMAPINFOHEADER.
    const std::string file = ReadFile(path);
    if (file.size() < 54 || file[0] != 'B' || file[28] != 24)
        throw std::runtime_error("not a 24-bit BMP: " + path);
    SImage image{static_cast<int>(ReadLE(file, 18)), static_cast<int>(ReadLE(file, 22)), {}};
    const std::size_t stride = (static_cast<std::size_t>(image.Width) * 3 + 3) / 4 * 4;
    for (int y = image.Height; y-- > 0;)
        for (std::size_t x = 0; x < static_cast<std::size_t>(image.Width); ++x)
            image.Pixels.push_back(ReadLE(file, ReadLE(file, 10) + static_cast<std::size_t>(y) * stride + x * 3, 3));
    return image;
}

CExpectedScreen::CExpectedScreen(const std::string& dataFolder)
    : Folder(dataFolder), Background(Read(Folder + "/Background.bmp")), Font(Read(Folder + "/Lucida Console_14.bmp"))
{
    for (int x = 0, start = 0; x < Font.Width && GlyphStarts.size() < 95; ++x)
        if (Font.Pixels[static_cast<std::size_t>((Font.Height - 1) * Font.Width + x)] == Green)
        {
            GlyphStarts.push_back(start);
            GlyphWidths.push_back(x - start);
            start = x + 1;
        }
}

TPixels CExpectedScreen::Picture(std::string_view name) const
{
    return Read(Folder + "/" + std::string(name)).Pixels;
}

void CExpectedScreen::Write(TPixels& pixels, int width, std::string_view text, int x, int y) const
{
    for (const char c : text)
    {
        const std::size_t glyph = static_cast<std::size_t>(static_cast<unsigned char>(c) - 32);
        for (int row = 0; row < Font.Height; ++row)
            for (int column = 0; column < GlyphWidths.at(glyph) && x + column < width; ++column)
                if (const auto pixel = Font.Pixels[static_cast<std::size_t>(row * Font.Width + GlyphStarts[glyph] + column)];
                    pixel != Magenta)
                    pixels[static_cast<std::size_t>((y + row) * width + x + column)] = pixel;
        x += GlyphWidths[glyph];
    }
}

TPixels CExpectedScreen::Playing(const TTexts& texts) const
{
    TPixels screen = Background.Pixels;
    for (const auto& [text, at] : texts)
        Write(screen, 800, text, at.first, at.second);
    return screen;
}

bool CExpectedScreen::Shows(const TPixels& screen, std::string_view text, int x, int y, int width) const
{
    const auto band = [&](const TPixels& from) {
        TPixels rows;
        for (int row = y; row < y + Font.Height; ++row)
            rows.insert(rows.end(), from.begin() + row * 800 + x, from.begin() + row * 800 + x + width);
        return rows;
    };
    TPixels expected = band(Background.Pixels);
    Write(expected, width, text, 0, 0);
    return screen.size() == Background.Pixels.size() && band(screen) == expected;
}

TTexts HudTexts(int favour, int redLumber, int redEfficiency, int blueLumber, int blueEfficiency)
{
    return {{"Favour: " + std::to_string(favour) + "%", {320, 20}},
            {"Lumber: " + std::to_string(redLumber), {20, 65}},
            {"Sacrifice it (a)", {20, 95}},
            {"Trade it (s)", {20, 125}},
            {"Efficiency: " + std::to_string(redEfficiency) + "%", {20, 155}},
            {"Lumber: " + std::to_string(blueLumber), {550, 65}},
            {"Sacrifice it (k)", {550, 95}},
            {"Trade it (l)", {550, 125}},
            {"Efficiency: " + std::to_string(blueEfficiency) + "%", {550, 155}}};
}

void WritePpm(const std::string& path, const TPixels& pixels, int width)
{
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << width << " " << pixels.size() / static_cast<std::size_t>(width) << "\n255\n";
    for (const std::uint32_t pixel : pixels)
        file << static_cast<char>(pixel >> 16) << static_cast<char>(pixel >> 8) << static_cast<char>(pixel);
}
