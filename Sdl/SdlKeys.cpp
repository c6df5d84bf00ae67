#include "Sdl/SdlKeys.h"

#include <SDL_keycode.h>

#include <array>
#include <utility>

namespace
{
// SDL keys that have a virtual-key code besides letters and digits.
constexpr std::array<std::pair<SDL_Keycode, std::uint32_t>, 56> KeyCodes{{
    {SDLK_LEFT, 0x25},      {SDLK_RIGHT, 0x27},    {SDLK_UP, 0x26},       {SDLK_DOWN, 0x28},
    {SDLK_RETURN, 0x0D},    {SDLK_KP_ENTER, 0x0D}, {SDLK_SPACE, 0x20},    {SDLK_ESCAPE, 0x1B},
    {SDLK_BACKSPACE, 0x08}, {SDLK_TAB, 0x09},      {SDLK_LSHIFT, 0xA0},   {SDLK_RSHIFT, 0xA1},
    {SDLK_LCTRL, 0xA2},     {SDLK_RCTRL, 0xA3},    {SDLK_LALT, 0xA4},     {SDLK_RALT, 0xA5},
    {SDLK_F1, 0x70},        {SDLK_F2, 0x71},       {SDLK_F3, 0x72},       {SDLK_F4, 0x73},
    {SDLK_F5, 0x74},        {SDLK_F6, 0x75},       {SDLK_F7, 0x76},       {SDLK_F8, 0x77},
    {SDLK_F9, 0x78},        {SDLK_F10, 0x79},      {SDLK_F11, 0x7A},      {SDLK_F12, 0x7B},
    {SDLK_KP_0, 0x60},      {SDLK_KP_1, 0x61},     {SDLK_KP_2, 0x62},     {SDLK_KP_3, 0x63},
    {SDLK_KP_4, 0x64},      {SDLK_KP_5, 0x65},     {SDLK_KP_6, 0x66},     {SDLK_KP_7, 0x67},
    {SDLK_KP_8, 0x68},      {SDLK_KP_9, 0x69},     {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},
    {SDLK_KP_MINUS, 0x6D},  {SDLK_KP_PERIOD, 0x6E}, {SDLK_KP_DIVIDE, 0x6F}, {SDLK_PAGEUP, 0x21},
    {SDLK_PAGEDOWN, 0x22},  {SDLK_END, 0x23},      {SDLK_HOME, 0x24},     {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E},    {SDLK_CAPSLOCK, 0x14}, {SDLK_PAUSE, 0x13},    {SDLK_PRINTSCREEN, 0x2C},
    {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91}, {SDLK_LGUI, 0x5B}, {SDLK_RGUI, 0x5C},
}};
} // namespace

std::int32_t VirtualKeyToSdlKey(std::uint32_t code)
{
    if (code >= 'A' && code <= 'Z')
        return static_cast<std::int32_t>(code - 'A' + 'a');
    if (code >= '0' && code <= '9')
        return static_cast<std::int32_t>(code);
    for (const auto& [sdlKey, virtualKey] : KeyCodes)
        if (virtualKey == code)
            return sdlKey;
    return SDLK_UNKNOWN;
}

std::uint32_t SdlKeyToVirtualKey(std::int32_t sdlKey)
{
    if (sdlKey >= 'a' && sdlKey <= 'z')
        return static_cast<std::uint32_t>(sdlKey - 'a' + 'A');
    if (sdlKey >= '0' && sdlKey <= '9')
        return static_cast<std::uint32_t>(sdlKey);
    for (const auto& [key, virtualKey] : KeyCodes)
        if (key == sdlKey)
            return virtualKey;
    return 0;
}
