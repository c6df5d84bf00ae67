#pragma once

// What the end-to-end tests drive and look at: a program started as a player starts it, the X
// display it shows its windows on, and the game's screens composed from its data files.
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
using TPixels = std::vector<std::uint32_t>; // 0xRRGGBB, row after row from the top
using TTexts = std::vector<std::pair<std::string, std::pair<int, int>>>;

constexpr std::chrono::milliseconds Patience = 60s; // Wine's first start in a new prefix is slow under load

// Asks until the answer is there (true, or an optional that holds a value) or the time is up.
template <typename F> auto Poll(std::chrono::milliseconds timeout, F ask)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        if (auto answer = ask(); answer || std::chrono::steady_clock::now() >= deadline)
            return answer;
        std::this_thread::sleep_for(20ms);
    }
}

// The text of a failed wait: what it waited for and what the latest program has written.
std::string WaitedInVain(const std::string& what, std::chrono::milliseconds timeout);

// As Poll, but a missed deadline throws, naming what was waited for; gives the answer's value.
template <typename F> auto Wait(const std::string& what, F ask, std::chrono::milliseconds timeout = Patience)
{
    auto answer = Poll(timeout, ask);
    if (!answer)
        throw std::runtime_error(WaitedInVain(what, timeout));
    if constexpr (!std::is_same_v<decltype(answer), bool>)
        return *std::move(answer);
}

// Started with the launcher (VANTOR_LAUNCHER by default, such as wine) in a process group of its
// own, its standard output and error in files; killed with its group when still running at the end.
class CProgram
{
public:
    CProgram(const std::string& path, const std::vector<std::string>& environment = {},
             const std::string& launcher = DefaultLauncher());
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;
    ~CProgram();

    static std::string DefaultLauncher();
    std::string Output() const;
    std::string Errors() const;
    // The output lines that begin with the prefix, without a Windows program's carriage returns.
    std::vector<std::string> Lines(std::string_view prefix = {}) const;
    // The nth line that begins with the prefix, once written.
    std::string WaitForLine(const std::string& prefix, std::size_t nth = 1) const;
    int WaitForExit();

private:
    pid_t Pid = -1;
    std::string Folder;
};

class CX11Display
{
public:
    struct SWindow
    {
        unsigned long Id = 0;
        int X = 0; // the top-left corner of the window's area on the screen
        int Y = 0;
        int Width = 0;
        int Height = 0;
    };

    CX11Display();
    CX11Display(const CX11Display&) = delete;
    CX11Display& operator=(const CX11Display&) = delete;
    ~CX11Display();

    int ScreenWidth() const;
    int ScreenHeight() const;
    // A viewable window with exactly this title; Poll it to see there is none.
    std::optional<SWindow> Find(const std::string& title) const;
    SWindow WaitForWindow(const std::string& title) const;
    // What a close button does: ask the window to close.
    void Close(const SWindow& window) const;
    // The window's pixels; none when it has gone meanwhile.
    TPixels Capture(const SWindow& window) const;
    // Gives the window the keyboard focus, then has xdotool type as a keyboard: "key a", "keydown a"...
    void Type(const SWindow& window, const std::string& xdotoolCommand) const;

private:
    struct _XDisplay* Connection = nullptr;
};

// The game's screens composed from its data files, as an independent check of the engine's
// drawing: pictures 1:1 from the top-left corner, glyphs side by side, 800 x 600.
class CExpectedScreen
{
public:
    explicit CExpectedScreen(const std::string& dataFolder);

    TPixels Picture(std::string_view name) const;
    // The background with the texts written on it.
    TPixels Playing(const TTexts& texts) const;
    // Whether the band of the font's height from (x, y), width wide, is the background with this text alone.
    bool Shows(const TPixels& screen, std::string_view text, int x, int y, int width) const;

private:
    struct SImage
    {
        int Width = 0;
        int Height = 0;
        TPixels Pixels;
    };
    static SImage Read(const std::string& path);
    // Writes the text into pixels `width` wide with its top-left corner at (x, y), cut at the right edge.
    void Write(TPixels& pixels, int width, std::string_view text, int x, int y) const;

    std::string Folder;
    SImage Background;
    SImage Font;
    std::vector<int> GlyphStarts; // code 32 first; each glyph ends at the next marker
    std::vector<int> GlyphWidths;
};

// The playing screen's texts (the offering left out) for a state of the game.
TTexts HudTexts(int favour, int redLumber, int redEfficiency, int blueLumber, int blueEfficiency);

// Keeps a picture to look at when a case fails.
void WritePpm(const std::string& path, const TPixels& pixels, int width);
