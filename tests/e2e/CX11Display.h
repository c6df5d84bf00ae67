#pragma once

#include <chrono>
#include <optional>
#include <cstdint>
#include <string>
#include <vector>

// The display the programs under test show their windows on, as the tests look at it.
class CX11Display
{
public:
    struct SWindow
    {
        unsigned long Id = 0;
        int X = 0; // top-left corner of the window's area on the screen
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
    // A viewable window with exactly this title, once one appears.
    std::optional<SWindow> WaitForWindow(const std::string& title, std::chrono::seconds timeout) const;
    // What a close button does: ask the window to close.
    void Close(const SWindow& window) const;
    // The window's pixels as 0xRRGGBB, row after row from the top.
    std::vector<std::uint32_t> Capture(const SWindow& window) const;
    // Gives the window the keyboard focus, then has xdotool type: "key a", "keydown a", ...
    void Type(const SWindow& window, const std::string& xdotoolCommand) const;

private:
    struct _XDisplay* Connection = nullptr;
};
