// The page's keyboard, focus and mouse events, queued for the host's dispatch.
#include "Web/CWebPlatform.h"

#include "Host/KeyTable.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <utility>

// The page's side, in Web/PageLibrary.js.
extern "C"
{
void VantorPageShowHint(bool show);
void VantorPageCanvasPosition(double* place);
}

EM_JS(bool, PageHasFocus, (), { return document.hasFocus() && !document.hidden; });

// ---- Input ----

namespace
{
// KeyboardEvent.code names by position on the keyboard, whatever the layout prints on the keys,
// besides letters, digits and function keys.
constexpr std::pair<std::string_view, std::uint32_t> KeyCodes[]{
    {"ArrowLeft", 0x25},    {"ArrowRight", 0x27},    {"ArrowUp", 0x26},       {"ArrowDown", 0x28},
    {"Enter", 0x0D},        {"NumpadEnter", 0x0D},   {"Space", 0x20},         {"Escape", 0x1B},
    {"Backspace", 0x08},    {"Tab", 0x09},           {"ShiftLeft", 0xA0},     {"ShiftRight", 0xA1},
    {"ControlLeft", 0xA2},  {"ControlRight", 0xA3},  {"AltLeft", 0xA4},       {"AltRight", 0xA5},
    {"NumpadMultiply", 0x6A}, {"NumpadAdd", 0x6B},   {"NumpadSubtract", 0x6D}, {"NumpadDecimal", 0x6E},
    {"NumpadDivide", 0x6F}, {"PageUp", 0x21},        {"PageDown", 0x22},      {"End", 0x23},
    {"Home", 0x24},         {"Insert", 0x2D},        {"Delete", 0x2E},        {"CapsLock", 0x14},
    {"Pause", 0x13},        {"PrintScreen", 0x2C},   {"NumLock", 0x90},       {"ScrollLock", 0x91},
    {"MetaLeft", 0x5B},     {"MetaRight", 0x5C},
};

CWebPlatform* Platform(void* user)
{
    return static_cast<CWebPlatform*>(user);
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* user)
{
    const std::uint32_t code = WebKeyToVirtualKey(event->code);
    if (code == 0)
        return EM_FALSE;
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    // Held auto-repeat arrives as more key-downs, as on the desktop.
    Platform(user)->SetHeld(code, down);
    Platform(user)->Queue(down ? CWebPlatform::EEvent::KeyDown : CWebPlatform::EEvent::KeyUp, code);
    Platform(user)->Wake();
    // The game's keys do not scroll or move the focus; with Ctrl or the system key they stay the
    // browser's shortcuts.
    Key key{};
    return TranslateKey(code, key) && !event->ctrlKey && !event->metaKey;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void* user)
{
    if (type == EMSCRIPTEN_EVENT_BLUR)
        Platform(user)->LoseFocus();
    else if (PageHasFocus())
        Platform(user)->GainFocus();
    Platform(user)->Wake();
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void* user)
{
    if (event->hidden)
        Platform(user)->LoseFocus();
    else if (PageHasFocus())
        Platform(user)->GainFocus();
    Platform(user)->Wake();
    return EM_FALSE;
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void* user)
{
    double place[4]{};
    VantorPageCanvasPosition(place);
    // The browser gives the page pixel under the pointer; where the page scales the canvas, the
    // canvas pixel under that pixel's middle is the one pointed at.
    Platform(user)->SetMouse(static_cast<std::int32_t>(std::floor((event->clientX + 0.5 - place[0]) * place[2])),
                             static_cast<std::int32_t>(std::floor((event->clientY + 0.5 - place[1]) * place[3])));
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN || type == EMSCRIPTEN_EVENT_MOUSEUP)
        Platform(user)->SetMouseButton(event->button, type == EMSCRIPTEN_EVENT_MOUSEDOWN);
    Platform(user)->Queue(CWebPlatform::EEvent::MouseMoved);
    Platform(user)->Wake();
    return EM_FALSE;
}
} // namespace

std::uint32_t WebKeyToVirtualKey(std::string_view code)
{
    if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z')
        return static_cast<std::uint32_t>(code[3]);
    if (code.size() == 6 && code.starts_with("Digit") && code[5] >= '0' && code[5] <= '9')
        return static_cast<std::uint32_t>(code[5]);
    if (code.size() == 7 && code.starts_with("Numpad") && code[6] >= '0' && code[6] <= '9')
        return 0x60u + static_cast<std::uint32_t>(code[6] - '0');
    if (code.size() >= 2 && code.size() <= 3 && code[0] == 'F')
    {
        const std::string_view digits = code.substr(1);
        int number = 0;
        for (const char digit : digits)
            number = digit >= '0' && digit <= '9' ? number * 10 + (digit - '0') : 100;
        if (number >= 1 && number <= 12)
            return 0x70u + static_cast<std::uint32_t>(number - 1);
    }
    for (const auto& [name, virtualKey] : KeyCodes)
        if (name == code)
            return virtualKey;
    return 0;
}

void CWebPlatform::ListenForInput()
{
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnKey);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnFocus);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnFocus);
    emscripten_set_visibilitychange_callback(this, EM_TRUE, OnVisibility);
    emscripten_set_mousedown_callback("#canvas", this, EM_TRUE, OnMouse);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnMouse);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnMouse);

    // A window that opens gets the focus; a page may not have it yet.
    if (PageHasFocus())
        GainFocus();
    VantorPageShowHint(!PageHasFocus());
}

bool CWebPlatform::GetCursorClientPosition(std::int32_t& x, std::int32_t& y)
{
    x = MouseX;
    y = MouseY;
    return true;
}

void CWebPlatform::HideCursor()
{
    EM_ASM({ document.getElementById('canvas').style.cursor = 'none'; });
}

bool CWebPlatform::IsMouseButtonDown(bool right)
{
    return MouseDown[right ? 1 : 0];
}

bool CWebPlatform::IsKeyHeld(std::uint32_t code)
{
    return code < Held.size() && Held[code];
}

bool CWebPlatform::HasFocus()
{
    return Focused;
}

void CWebPlatform::GainFocus()
{
    if (Focused || !Queue(EEvent::FocusGained))
        return;
    Focused = true;
    VantorPageShowHint(false);
}

void CWebPlatform::LoseFocus()
{
    if (!Focused)
        return;
    // A browser sends no key-up for a key held while the page lost the keyboard.
    for (std::uint32_t code = 0; code < Held.size(); ++code)
        if (Held[code])
        {
            Held[code] = false;
            Queue(EEvent::KeyUp, code);
        }
    MouseDown[0] = MouseDown[1] = false;
    Queue(EEvent::FocusLost);
    Focused = false;
    VantorPageShowHint(true);
}

void CWebPlatform::SetMouse(std::int32_t x, std::int32_t y)
{
    MouseX = x;
    MouseY = y;
}

void CWebPlatform::SetMouseButton(std::int32_t button, bool down)
{
    if (button == 0 || button == 2)
        MouseDown[button / 2] = down;
}
