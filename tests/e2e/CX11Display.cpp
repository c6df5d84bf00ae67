#include "tests/e2e/CX11Display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <vector>

namespace
{
std::string Title(Display* display, Window window)
{
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != nullptr)
        title.assign(reinterpret_cast<char*>(data), count);
    if (data != nullptr)
        XFree(data);
    if (title.empty())
    {
        char* name = nullptr;
        if (XFetchName(display, window, &name) != 0 && name != nullptr)
        {
            title = name;
            XFree(name);
        }
    }
    return title;
}

std::optional<Window> Find(Display* display, Window parent, const std::string& title)
{
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &parentOut, &children, &count) == 0)
        return std::nullopt;
    std::vector<Window> all(children, children + count);
    if (children != nullptr)
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

CX11Display::CX11Display() : Connection(XOpenDisplay(nullptr))
{
    // A busy server can refuse a connection for a moment; ask again before giving up.
    for (int attempt = 0; Connection == nullptr && attempt < 50; ++attempt)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Connection = XOpenDisplay(nullptr);
    }
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

std::optional<CX11Display::SWindow> CX11Display::WaitForWindow(const std::string& title,
                                                               std::chrono::seconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do
    {
        XSync(Connection, False);
        if (auto window = Find(Connection, DefaultRootWindow(Connection), title))
        {
            XWindowAttributes attributes{};
            XGetWindowAttributes(Connection, *window, &attributes);
            int x = 0;
            int y = 0;
            Window child = 0;
            XTranslateCoordinates(Connection, *window, DefaultRootWindow(Connection), 0, 0, &x, &y, &child);
            return SWindow{*window, x, y, attributes.width, attributes.height};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
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
    const std::string command = "xdotool " + xdotoolCommand;
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

std::vector<std::uint32_t> CX11Display::Capture(const SWindow& window) const
{
    XSync(Connection, False);
    XImage* image = XGetImage(Connection, window.Id, 0, 0, static_cast<unsigned>(window.Width),
                              static_cast<unsigned>(window.Height), AllPlanes, ZPixmap);
    if (image == nullptr)
        throw std::runtime_error("XGetImage failed");
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(window.Width) * static_cast<std::size_t>(window.Height));
    for (int y = 0; y < window.Height; ++y)
        for (int x = 0; x < window.Width; ++x)
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    XDestroyImage(image);
    return pixels;
}
