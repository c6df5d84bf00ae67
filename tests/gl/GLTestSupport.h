#pragma once

#include "Vantor/GL.h"
#include "Shared/CVantorException.h"
#include "tests/gl/GLTestMain.h"
#include "tests/gl/TestDataFiles.h"

#include <functional>
#include <ostream>
#include <string>

// A pixel of the frame being drawn.
struct SRgb
{
    int Red, Green, Blue;
    bool operator==(const SRgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const SRgb& colour)
{
    return out << "(" << colour.Red << ", " << colour.Green << ", " << colour.Blue << ")";
}

// The pixel (x, y), counted from the window's top-left corner.
inline SRgb PixelAt(int x, int y)
{
    // Window coordinates count from the bottom row.
    GLubyte pixel[4] = {};
    glReadPixels(x, 600 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
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

// The message of the CVantorException that the call throws, or "no error".
inline std::string ErrorOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const CVantorException& error)
    {
        return error.what();
    }
    return "no error";
}
